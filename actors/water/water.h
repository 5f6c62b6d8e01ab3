#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// A rectangle of translucent water: shows the band just above it mirrored and tinted blue, and
// raises splashes when hurtable things fall into it or move about inside it.
class Water : public Physical {
public:
    Water(i32 x, i32 y, i32 w, i32 h);
    // Water of the given height just below the rectangle's top edge, mirroring the band of that
    // height from the top edge down; at depth -1, without the water bit that birds look for.
    Water(const SDL_Rect& r, u8 height);

    void draw(SDL_Surface* screen) override;
    void update() override;

    i32 mirrorTop;  // top of the band that is reflected: the band of the water's height above it

private:
    void splashFor(Physical* body, i32 velX, i32 velY);
    void reflect(SDL_Surface* screen);
};
