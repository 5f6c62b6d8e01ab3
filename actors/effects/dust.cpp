#include "actors/effects/dust.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"

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
    : Drifting_Strip(x - 8, y - 16, velX, velY, delay,
                     loadGraphic("resource/dust.gif", true, 0, 0, 0, false), CellCount)
{
    flipX = facesLeft(velX);
}

void Dust::draw(SDL_Surface* screen)
{
    if (delay != 0)
        return;
    SDL_Rect source = cellSource();
    blitSurfaceExOffset(x, y, sheet, screen, flipX != 0, false, &source, false, 0);
}
