#pragma once
#include "world/terrain/flat_solid.h"
#include "world/terrain/graphicblock.h"

// The colliding terrain kinds, one per tile kind 2 to 5. Each draws its tileset cell.

// What the colliding kinds share: terrain rather than scenery, drawn as a tile.
class TerrainBlock : public GraphicBlock {
public:
    TerrainBlock(i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source);

protected:
    // For kinds that are more than terrain as well (flags beyond FlagBlock).
    TerrainBlock(u32 flags, i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source);
};

// One-way platform: holds movers that come from above, lets them pass from below and the sides.
class ThroughBlock : public TerrainBlock {
public:
    using TerrainBlock::TerrainBlock;
    bool hitFloor(Physical* mover, i32* limit, bool onGround) override;
    bool isSolid() override { return false; }
};

// Solid on every side.
class FullBlock : public FlatSolid<TerrainBlock> {
public:
    using FlatSolid::FlatSolid;
};

// 45-degree slope, high at its left edge; its sloped face meets movers coming from the right.
class SlopeBlock_Left : public TerrainBlock {
public:
    using TerrainBlock::TerrainBlock;
    bool hitFloor(Physical* mover, i32* limit, bool onGround) override;
    bool hitCeiling(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallLeft(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallRight(Physical* mover, i32* limit, bool onGround) override;
    i32 slopeCode() override { return 4; }
};

// 45-degree slope, high at its right edge; its sloped face meets movers coming from the left.
class SlopeBlock_Right : public TerrainBlock {
public:
    using TerrainBlock::TerrainBlock;
    bool hitFloor(Physical* mover, i32* limit, bool onGround) override;
    bool hitCeiling(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallLeft(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallRight(Physical* mover, i32* limit, bool onGround) override;
    i32 slopeCode() override { return -4; }
};
