#pragma once
#include "world/terrain/graphicblock.h"

// The colliding terrain kinds, one per tile kind 2 to 5. Each draws its tileset cell.

// One-way platform: holds movers that come from above, lets them pass from below and the sides.
class ThroughBlock : public GraphicBlock {
public:
    ThroughBlock(i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source);
    bool hitFloor(Physical* mover, i32* limit, bool onGround) override;
    bool isSolid() override { return false; }
};

// Solid on every side.
class FullBlock : public GraphicBlock {
public:
    FullBlock(i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source);
    bool hitFloor(Physical* mover, i32* limit, bool onGround) override;
    bool hitCeiling(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallLeft(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallRight(Physical* mover, i32* limit, bool onGround) override;
};

// 45-degree slope, high at its left edge; its sloped face meets movers coming from the right.
class SlopeBlock_Left : public GraphicBlock {
public:
    SlopeBlock_Left(i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source);
    bool hitFloor(Physical* mover, i32* limit, bool onGround) override;
    bool hitCeiling(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallLeft(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallRight(Physical* mover, i32* limit, bool onGround) override;
    i32 slopeCode() override { return 4; }
};

// 45-degree slope, high at its right edge; its sloped face meets movers coming from the left.
class SlopeBlock_Right : public GraphicBlock {
public:
    SlopeBlock_Right(i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source);
    bool hitFloor(Physical* mover, i32* limit, bool onGround) override;
    bool hitCeiling(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallLeft(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallRight(Physical* mover, i32* limit, bool onGround) override;
    i32 slopeCode() override { return -4; }
};
