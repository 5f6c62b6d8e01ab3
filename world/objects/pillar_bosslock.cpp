#include "world/objects/pillar_bosslock.h"

#include "world/factory.h"

namespace {

Physical* makeLockPillar(const ObjectArgs& a)
{
    return new Pillar_BossLock(a.x, a.y);
}
ObjectRegistrar lockPillarClass(18, 18, makeLockPillar);

} // namespace

Pillar_BossLock::Pillar_BossLock(i32 x, i32 y) : Pillar_Solid(FlagBlock | FlagCued, x, y) {}

void Pillar_BossLock::onGrounded()
{
    savedHeight = sink();
}

void Pillar_BossLock::cueLock()
{
    targetHeight = savedHeight;
}
