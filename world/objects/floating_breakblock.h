#pragma once
#include "core/types.h"
#include "world/interfaces.h"
#include "world/terrain/terrainblocks.h"

#include <SDL/SDL.h>

// A stone that stays: a solid 16x16 block that can be hurt but never moves or breaks.
class Floating_BreakBlock : public FullBlock, public Damagable {
public:
    Floating_BreakBlock(i32 x, i32 y, u8 variant);

    void draw(SDL_Surface* screen) override;
};
