#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// One feather of a shot bird: sways from side to side while it sinks and is gone at the floor.
class Feather : public Physical {
public:
    Feather(i32 x, i32 y, i8 velX, i8 velY, u8 variant);

    void draw(SDL_Surface* screen) override;
    void update() override;

    SDL_Surface* image;
    i8 velX;
    i8 velY;
    u8 variant;       // the bird's plumage row
    i32 swayCentre;   // drifts after the feather; the swing pulls toward it

private:
    i32 floorBelow();
};
