#pragma once
#include "actors/smart_actor.h"

#include <SDL/SDL.h>

// The Ikan foot soldier: re-plans toward a player every 30 frames (showing the planner's
// picture each time) and stays on the ground as a corpse when shot down.
class Chaser : public Smart_Actor {
public:
    Chaser(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    void act() override;
    void jump(bool onGround) override;
    void walk(bool onGround, i8 dir) override;

    SDL_Surface* image;
    u8 animFrame;
    u8 flip;  // 1: facing left
};
