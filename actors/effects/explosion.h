#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

// A fireball that hurts whatever it covers as it flares up, once, and then burns out.
class Explosion : public Physical {
public:
    Explosion(i32 x, i32 y, u8 delay);

    void draw(SDL_Surface* screen) override;
    void update() override;

    SDL_Surface* sheet;
    Mix_Chunk* sound;
    u8 cell;
    u8 delay;

private:
    void hurtOverlapping();
};
