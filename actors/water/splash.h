#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// A splash on the water's surface: a short strip with a sound that throws droplets.
// Tiny ones (size 19 or less) show for one frame without a sound.
class Splash : public Physical {
public:
    Splash(i32 x, i32 y, u16 size);

    void draw(SDL_Surface* screen) override;
    void update() override;

    SDL_Surface* sheet;
    u8 cell = 0;
    u8 stepTimer = 2;  // frames to the next cell
    u8 big;            // size above 100
    u16 size;          // the area of the body that raised it, or a quarter of it

private:
    void throwDroplets();
};
