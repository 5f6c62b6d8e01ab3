#include "world/terrain/terrainblocks.h"

#include "world/terrain/blockrules.h"

using namespace blockrules;

TerrainBlock::TerrainBlock(i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source)
    : TerrainBlock(FlagBlock, x, y, depth, image, source)
{
}

TerrainBlock::TerrainBlock(u32 flags, i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source)
    : GraphicBlock(flags, x, y, depth, image, source)
{
}

bool ThroughBlock::hitFloor(Physical* mover, i32* limit, bool)
{
    return platformFloor(*this, *mover, limit);
}

bool SlopeBlock_Left::hitFloor(Physical* mover, i32* limit, bool)
{
    return leftSlopeFloor(*this, *mover, limit);
}

bool SlopeBlock_Left::hitCeiling(Physical* mover, i32* limit, bool)
{
    return flatCeiling(*this, *mover, limit);
}

bool SlopeBlock_Left::hitWallLeft(Physical* mover, i32* limit, bool onGround)
{
    return leftSlopeSide(*this, *mover, limit, onGround);
}

bool SlopeBlock_Left::hitWallRight(Physical* mover, i32* limit, bool)
{
    return flatWallOnRight(*this, *mover, limit);
}

bool SlopeBlock_Right::hitFloor(Physical* mover, i32* limit, bool)
{
    return rightSlopeFloor(*this, *mover, limit);
}

bool SlopeBlock_Right::hitCeiling(Physical* mover, i32* limit, bool)
{
    return flatCeiling(*this, *mover, limit);
}

bool SlopeBlock_Right::hitWallLeft(Physical* mover, i32* limit, bool)
{
    return flatWallOnLeft(*this, *mover, limit);
}

bool SlopeBlock_Right::hitWallRight(Physical* mover, i32* limit, bool onGround)
{
    return rightSlopeSide(*this, *mover, limit, onGround);
}
