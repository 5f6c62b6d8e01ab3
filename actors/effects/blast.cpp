#include "actors/effects/blast.h"

#include "actors/effects/strip.h"
#include "core/draw.h"
#include "core/media.h"
#include "world/systphysical.h"

Blast::Blast(i32 x, i32 y, bool big, u8 delay)
{
    i32 size = big ? 32 : 16;
    this->x = x - size / 2;
    this->y = y - size / 2;
    w = size;
    h = size;
    depth = -5;
    typeFlags = 32;
    sheet = loadGraphic(big ? "resource/bigblast.gif" : "resource/blast.gif", true, 0, 255, 0, true);
    sound = loadSound("resource/explosion1.wav");
    cell = 0;
    this->delay = delay;
    cellCount = big ? 9 : 7;
    if (delay == 0)
        playSound(sound, 0);
}

void Blast::update()
{
    if (delay != 0) {
        if (effect_strip::delayEnds(delay))
            playSound(sound, 0);
        return;
    }
    if (effect_strip::advance(owner->frame(), cell, cellCount))
        removeSelf();
}

void Blast::draw(SDL_Surface* screen)
{
    if (delay != 0)
        return;
    SDL_Rect source{i16(cell * w), 0, u16(w), u16(h)};
    blitSurfaceOffset(x, y - h, sheet, screen, &source);
}
