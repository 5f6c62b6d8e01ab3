#include "world/objects/breakblock_part.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/systphysical.h"

namespace {

constexpr i32 Cell = 16;
constexpr i32 ScreenH = 240;
constexpr i32 PebbleRow = 16;

} // namespace

BreakBlock_Part::BreakBlock_Part(i32 x, i32 y)
    : Actor(x - 1, y - 1), image(loadGraphic("resource/rock.gif", true, 255, 255, 255, true))
{
    w = h = 2;
    typeFlags = FlagEffect;
    velX = i8(randomRange(-5, 5));
    velY = i8(randomRange(-4, 4));
    source = {i16(randomSigned(7) * Cell), PebbleRow, Cell, Cell};
}

void BreakBlock_Part::draw(SDL_Surface* screen)
{
    // The pebble's cell is centred on the 2x2 body.
    blitSurfaceOffset(i16(x - 7), i16(y - 7), image, screen, &source);
}

void BreakBlock_Part::act()
{
    if (y > owner->cameraY + ScreenH) {
        removeSelf();
        return;
    }
    if (y + h < floorLimit || owner->frame() % 2 == 0)
        return;
    // On the ground every second frame: downhill speeds up, the flat slows down.
    if (slopeCode > 0)
        ++velX;
    else if (slopeCode < 0)
        --velX;
    else if (velX != 0)
        velX = i8(velX > 0 ? velX - 1 : velX + 1);
}

void BreakBlock_Part::land()
{
    velY = i8(-velY / 2);
    velX = i8(velX + randomRange(-1, 1));
}
