#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// The spurt of earth a shock wave throws up where it runs along the ground.
class Ground_Burst : public Physical {
public:
    Ground_Burst(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    void update() override;

    SDL_Surface* sheet;
    u8 cell;
};
