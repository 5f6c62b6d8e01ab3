#pragma once
#include "actors/effects/drifting_strip.h"

#include <SDL/SDL.h>

// A puff that drifts at a fixed speed, already while it waits to appear.
class Smoke : public Drifting_Strip {
public:
    Smoke(i32 x, i32 y, i8 velX, i8 velY, u8 delay);
    Smoke(i32 x, i32 y, u8 delay);  // drifts in a random direction, up to 2 pixels a frame each way

    void draw(SDL_Surface* screen) override;
};
