#include "actors/effects/dust.h"

#include "actors/effects/strip.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/systphysical.h"

namespace {

constexpr u8 CellCount = 8;

// A cloud without sideways drift faces either way with an even chance.
u8 facesLeft(i8 velX)
{
    if (velX < 0)
        return 1;
    if (velX > 0)
        return 0;
    return randomSigned(1) == 0 ? 1 : 0;
}

} // namespace

Dust::Dust(i32 x, i32 y, i8 velX, i8 velY, u8 delay)
{
    this->x = x - 8;
    this->y = y - 16;
    w = 16;
    h = 16;
    depth = -5;
    typeFlags = 32;
    sheet = loadGraphic("resource/dust.gif", true, 0, 0, 0, false);
    cell = 0;
    this->delay = delay;
    this->velX = velX;
    this->velY = velY;
    flipX = facesLeft(velX);
}

void Dust::update()
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

void Dust::draw(SDL_Surface* screen)
{
    if (delay != 0)
        return;
    SDL_Rect source{i16(cell * 16), 0, 16, 16};
    blitSurfaceExOffset(x, y, sheet, screen, flipX != 0, false, &source, false, 0);
}
