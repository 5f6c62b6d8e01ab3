#include "actors/effects/smoke.h"

#include "actors/effects/strip.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/systphysical.h"

namespace {
constexpr u8 CellCount = 9;
} // namespace

Smoke::Smoke(i32 x, i32 y, i8 velX, i8 velY, u8 delay)
{
    this->x = x - 8;
    this->y = y - 8;
    w = 16;
    h = 16;
    depth = -5;
    typeFlags = 32;
    sheet = loadGraphic("resource/smoke.gif", true, 0, 255, 0, true);
    cell = 0;
    this->delay = delay;
    this->velX = velX;
    this->velY = velY;
}

Smoke::Smoke(i32 x, i32 y, u8 delay) : Smoke(x, y, 0, 0, delay)
{
    // Drawn one after the other: the horizontal speed takes the first number of the stream.
    velX = i8(randomRange(-2, 2));
    velY = i8(randomRange(-2, 2));
}

void Smoke::update()
{
    x += velX;
    y += velY;
    if (delay != 0) {
        effect_strip::delayEnds(delay);
        return;
    }
    if (effect_strip::advance(owner->frame(), cell, CellCount))
        removeSelf();
}

void Smoke::draw(SDL_Surface* screen)
{
    if (delay != 0)
        return;
    SDL_Rect source{i16(cell * 16), 0, 16, 16};
    blitSurfaceOffset(x, y, sheet, screen, &source);
}
