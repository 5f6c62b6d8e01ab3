#include "actors/effects/smoke.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"

namespace {
constexpr u8 CellCount = 9;
} // namespace

Smoke::Smoke(i32 x, i32 y, i8 velX, i8 velY, u8 delay)
    : Drifting_Strip(x - 8, y - 8, velX, velY, delay,
                     loadGraphic("resource/smoke.gif", true, 0, 255, 0, true), CellCount)
{
}

Smoke::Smoke(i32 x, i32 y, u8 delay) : Smoke(x, y, 0, 0, delay)
{
    // Drawn one after the other: the horizontal speed takes the first number of the stream.
    velX = i8(randomRange(-2, 2));
    velY = i8(randomRange(-2, 2));
}

void Smoke::draw(SDL_Surface* screen)
{
    if (delay != 0)
        return;
    SDL_Rect source = cellSource();
    blitSurfaceOffset(x, y, sheet, screen, &source);
}
