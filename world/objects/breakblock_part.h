#pragma once
#include "actors/actor.h"
#include "core/types.h"

#include <SDL/SDL.h>

// A piece of a broken stone: flies off, falls, and rolls down slopes until it drops below the
// screen.
class BreakBlock_Part : public Actor {
public:
    // (x, y) is the piece's centre.
    BreakBlock_Part(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    void act() override;
    void walk(bool onGround, i8 dir) override {}
    void land() override;

    SDL_Surface* image;
    SDL_Rect source;  // one of the eight pebbles
};
