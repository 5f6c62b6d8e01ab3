#pragma once
#include "actors/effects/drifting_strip.h"

#include <SDL/SDL.h>

// A cloud kicked up by a hard landing, drifting away from the feet and facing its way.
class Dust : public Drifting_Strip {
public:
    Dust(i32 x, i32 y, i8 velX, i8 velY, u8 delay);

    void draw(SDL_Surface* screen) override;

    u8 flipX;  // 1: drawn mirrored (drifting left)
};
