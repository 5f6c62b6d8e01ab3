#include "actors/creatures/feather.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/interfaces.h"
#include "world/systphysical.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr i32 ViewHeight = 240;
constexpr i32 CellX = 96;  // the feather's column on the bird sheet
} // namespace

Feather::Feather(i32 x, i32 y, i8 velX, i8 velY, u8 variant)
    : Physical(0, x - 1, y - 1, 0, 0, 0), velX(velX), velY(velY), variant(variant), swayCentre(x)
{
    image = loadGraphic("resource/bird.gif", true, 0, 255, 0, false);
}

// The bottom of the view, or the first block surface below when that comes first.
i32 Feather::floorBelow()
{
    i32 floor = owner->cameraY + ViewHeight;
    for (Block* block = owner->firstIn<Block>(); owner->hasMoreInCategory(); block = owner->nextIn<Block>())
        block->hitFloor(this, &floor, false);
    return floor;
}

void Feather::update()
{
    if (owner->frame() % 2 == 1 && y + velY > floorBelow())
        removeSelf();
    x += velX;
    y += velY;
    swayCentre += randomSigned(swayCentre < x ? 2 : -2);
    if (randomSigned(1) == 0)
        velX = i8(std::clamp(velX + randomSigned(x <= swayCentre ? 1 : -1), -2, 2));
    if (randomSigned(1) == 0) {
        // A feather swinging wide sinks slower.
        const i8 settle = std::abs(velX) < 2 ? 2 : 1;
        velY = velY < settle ? i8(velY + 1) : i8(velY - 1);
    }
}

void Feather::draw(SDL_Surface* screen)
{
    SDL_Rect cell{CellX, i16(8 * variant), 16, 8};
    blitSurfaceOffset(x - 7, y - 3, image, screen, &cell);
}
