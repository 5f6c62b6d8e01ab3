#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// The spray a creature leaves when it dies: the root bursts into five fragments, and each
// fragment trails four more that slow down as they go (26 bursts, one death sound).
class Death_Burst : public Physical {
public:
    Death_Burst(i32 x, i32 y, u8 generation, i8 velX, i8 velY);

    void draw(SDL_Surface* screen) override;
    void update() override;

    i8 velX;
    i8 velY;
    u8 generation;  // 0 the root; the sheet cell grows with it
    u8 delay;
    SDL_Surface* sheet;

private:
    void move();
    void spawnChildren();
};
