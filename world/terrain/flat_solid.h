#pragma once
#include "world/physical.h"
#include "world/terrain/blockrules.h"

// A block kind (Base: a Physical that is a Block) solid on every side: the flat rules stop
// movers from above, from below and from both sides.
template <class Base>
class FlatSolid : public Base {
public:
    using Base::Base;
    bool hitFloor(Physical* mover, i32* limit, bool) override
    {
        return blockrules::flatFloor(*this, *mover, limit);
    }
    bool hitCeiling(Physical* mover, i32* limit, bool) override
    {
        return blockrules::flatCeiling(*this, *mover, limit);
    }
    bool hitWallLeft(Physical* mover, i32* limit, bool) override
    {
        return blockrules::flatWallOnLeft(*this, *mover, limit);
    }
    bool hitWallRight(Physical* mover, i32* limit, bool) override
    {
        return blockrules::flatWallOnRight(*this, *mover, limit);
    }
};
