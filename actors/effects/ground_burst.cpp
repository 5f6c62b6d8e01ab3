#include "actors/effects/ground_burst.h"

#include "actors/effects/strip.h"
#include "core/draw.h"
#include "core/media.h"
#include "world/systphysical.h"

namespace {
constexpr u8 CellCount = 6;
} // namespace

Ground_Burst::Ground_Burst(i32 x, i32 y)
{
    this->x = x - 8;
    this->y = y - 16;
    w = 16;
    h = 16;
    depth = 0;
    typeFlags = 32;
    sheet = loadGraphic("resource/groundburst.gif", true, 0, 0, 0, false);
    cell = 0;
}

void Ground_Burst::update()
{
    if (effect_strip::advance(owner->frame(), cell, CellCount))
        removeSelf();
}

void Ground_Burst::draw(SDL_Surface* screen)
{
    SDL_Rect source{i16(cell * 16), 0, 16, 16};
    blitSurfaceOffset(x, y, sheet, screen, &source);
}
