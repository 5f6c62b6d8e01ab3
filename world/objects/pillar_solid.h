#pragma once
#include "world/objects/pillar.h"

// A pillar that is a wall as well: it stops movers from the sides and from below.
class Pillar_Solid : public Pillar {
public:
    Pillar_Solid(i32 x, i32 y);

    bool hitCeiling(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallLeft(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallRight(Physical* mover, i32* limit, bool onGround) override;

protected:
    Pillar_Solid(u32 flags, i32 x, i32 y);
};
