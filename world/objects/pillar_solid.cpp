#include "world/objects/pillar_solid.h"

#include "world/factory.h"
#include "world/terrain/blockrules.h"

namespace {

Physical* makeSolidPillar(const ObjectArgs& a)
{
    return new Pillar_Solid(a.x, a.y);
}
ObjectRegistrar solidPillarClass(17, 17, makeSolidPillar);

} // namespace

Pillar_Solid::Pillar_Solid(i32 x, i32 y) : Pillar(FlagBlock, x, y) {}

Pillar_Solid::Pillar_Solid(u32 flags, i32 x, i32 y) : Pillar(flags, x, y) {}

bool Pillar_Solid::hitCeiling(Physical* mover, i32* limit, bool)
{
    return blockrules::flatCeiling(*this, *mover, limit);
}

bool Pillar_Solid::hitWallLeft(Physical* mover, i32* limit, bool)
{
    return blockrules::flatWallOnLeft(*this, *mover, limit);
}

bool Pillar_Solid::hitWallRight(Physical* mover, i32* limit, bool)
{
    return blockrules::flatWallOnRight(*this, *mover, limit);
}
