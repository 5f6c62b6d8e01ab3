#pragma once
#include "actors/actor.h"

#include <SDL/SDL.h>

// An Ostrevanian gunner with no will of its own: it stands until a script forces its controls.
class Follower : public Actor {
public:
    Follower(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    void act() override;
    void jump(bool onGround) override;
    void walk(bool onGround, i8 dir) override;

    // One step of the scripted walking cycle (frames 4 to 10), for scenes that move it by hand.
    void stepFrame();

    SDL_Surface* image;
    u8 animFrame;  // 0 standing, 1..3 walking, 4..10 the scripted walk
    u8 flip;       // 1: facing right
};
