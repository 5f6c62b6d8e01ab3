#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

// A harmless flash of fire, small or big, drawn one box height above where it was set off.
class Blast : public Physical {
public:
    Blast(i32 x, i32 y, bool big, u8 delay);

    void draw(SDL_Surface* screen) override;
    void update() override;

    SDL_Surface* sheet;
    Mix_Chunk* sound;
    u8 cell;
    u8 delay;
    u8 cellCount;
};
