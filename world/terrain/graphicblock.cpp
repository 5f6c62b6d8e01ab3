#include "world/terrain/graphicblock.h"

#include "core/draw.h"

GraphicBlock::GraphicBlock() : PhysicalBlock(FlagScenery, 0, 0, BlockSize, BlockSize, 0) {}

GraphicBlock::GraphicBlock(i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source)
    : GraphicBlock(FlagScenery, x, y, depth, image, source)
{
}

GraphicBlock::GraphicBlock(u32 flags, i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source)
    : PhysicalBlock(flags, x, y, BlockSize, BlockSize, depth), image(image), source(source)
{
}

void GraphicBlock::draw(SDL_Surface* screen)
{
    blitSurfaceOffset(i16(x), i16(y), image, screen, &source);
}
