#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// A blob of blood that flies, falls, splatters on terrain and sheds droplets as it goes.
class Blood : public Physical {
public:
    Blood(i32 x, i32 y, i8 velX, i8 velY);

    void onAdd() override;
    void draw(SDL_Surface* screen) override;
    void update() override;

    SDL_Surface* image;
    u8 frame;
    i8 velX;
    i8 velY;
    u8 countdown;  // updates to the next splatter stage

private:
    void nextStage();
    void shedDroplets();
    void splatter();
};
