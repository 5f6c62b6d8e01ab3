#include "actors/effects/drifting_strip.h"

#include "actors/effects/strip.h"
#include "world/systphysical.h"

Drifting_Strip::Drifting_Strip(i32 left, i32 top, i8 velX, i8 velY, u8 delay, SDL_Surface* sheet,
                               u8 cellCount)
{
    x = left;
    y = top;
    w = 16;
    h = 16;
    depth = -5;
    typeFlags = 32;
    this->sheet = sheet;
    cell = 0;
    this->delay = delay;
    this->velX = velX;
    this->velY = velY;
    this->cellCount = cellCount;
}

void Drifting_Strip::update()
{
    x += velX;
    y += velY;
    if (delay != 0) {
        effect_strip::delayEnds(delay);
        return;
    }
    if (effect_strip::advance(owner->frame(), cell, cellCount))
        removeSelf();
}

SDL_Rect Drifting_Strip::cellSource() const
{
    return SDL_Rect{i16(cell * 16), 0, 16, 16};
}
