#include "world/objects/pillar_bosslock.h"

#include "world/factory.h"

namespace {

Physical* makeLockPillar(const ObjectArgs& a)
{
    return new Pillar_BossLock(a.x, a.y);
}
ObjectRegistrar lockPillarClass(18, 18, makeLockPillar);

} // namespace

Pillar_BossLock::Pillar_BossLock(i32 x, i32 y) : Sunk_Pillar(x, y) {}

void Pillar_BossLock::cueLock()
{
    rise();
}
