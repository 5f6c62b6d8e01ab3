#pragma once
#include "world/interfaces.h"

#include <SDL/SDL.h>

// A 16x16 tile picture in the level. On its own it is scenery and stops nothing; the colliding
// terrain kinds derive from it and answer the Block hit tests.
class GraphicBlock : public PhysicalBlock {
public:
    GraphicBlock();
    GraphicBlock(i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source);
    void draw(SDL_Surface* screen) override;

    SDL_Surface* image = nullptr;  // the level's tileset, not owned
    SDL_Rect source = {0, 0, 0, 0};

protected:
    // The colliding kinds share the picture and size but are terrain, not scenery.
    GraphicBlock(u32 flags, i32 x, i32 y, i32 depth, SDL_Surface* image, SDL_Rect source);
};

constexpr i32 BlockSize = 16;
