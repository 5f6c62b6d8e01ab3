#include "world/objects/pillar_bossstairs.h"

#include "world/factory.h"

namespace {

Physical* makeEscapePillar(const ObjectArgs& a)
{
    return new Pillar_BossStairs(a.x, a.y);
}
ObjectRegistrar escapePillarClass(19, 19, makeEscapePillar);

} // namespace

Pillar_BossStairs::Pillar_BossStairs(i32 x, i32 y) : Sunk_Pillar(x, y) {}

void Pillar_BossStairs::cueEscape()
{
    rise();
}
