#pragma once
#include "actors/actor.h"

#include <SDL/SDL.h>

// A hopping practice target that bursts into a falling stone and a ring of explosions.
// Also what the factory makes of any type id it does not know.
class Dummy : public Actor {
public:
    Dummy(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    void act() override;

    SDL_Surface* image;

private:
    void burst();
    void leaveStone();
};
