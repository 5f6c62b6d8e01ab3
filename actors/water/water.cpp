#include "actors/water/water.h"

#include "actors/box_overlap.h"
#include "actors/water/splash.h"
#include "core/draw.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/interfaces.h"
#include "world/systphysical.h"

#include <algorithm>

namespace {

Physical* makeWater(const ObjectArgs& a)
{
    return new Water(a.x, a.y, a.w, a.h);
}
ObjectRegistrar smallWater(4, 4, makeWater), largeWater(33, 33, makeWater);

struct ScreenBox {
    i32 left;
    i32 top;
    i32 right;
    i32 bottom;
    bool empty() const { return left >= right || top >= bottom; }
};

// The part of the rectangle that lies on the surface.
ScreenBox onSurface(SDL_Surface* surface, i32 x, i32 y, i32 w, i32 h)
{
    return ScreenBox{std::max(x, 0), std::max(y, 0), std::min(x + w, surface->w), std::min(y + h, surface->h)};
}

SDL_Rect toRect(const ScreenBox& b)
{
    return SDL_Rect{i16(b.left), i16(b.top), u16(b.right - b.left), u16(b.bottom - b.top)};
}

} // namespace

Water::Water(i32 x, i32 y, i32 w, i32 h) : Physical(FlagWater, x, y, w, h, -7), mirrorTop(y - h) {}

Water::Water(const SDL_Rect& r, u8 height) : Physical(0, r.x, r.y + height, r.w, height, -1), mirrorTop(r.y) {}

void Water::update()
{
    for (Damagable* d = owner->firstIn<Damagable>(); owner->hasMoreInCategory(); d = owner->nextIn<Damagable>())
        splashFor(owner->currentInCategory(), d->velX(), d->velY());
}

// Moving inside raises a small splash now and then; every entry splashes.
void Water::splashFor(Physical* body, i32 velX, i32 velY)
{
    if (boxesOverlap(*body, *this)) {
        if ((velX != 0 || velY != 0) && randomSigned(5) == 0)
            owner->add(new Splash(centreX(*body), y, u16(body->w * body->h / 4)));
        return;
    }
    const Physical next(0, body->x + velX, body->y + velY, body->w, body->h, 0);
    if (boxesOverlap(next, *this))
        owner->add(new Splash(centreX(*body), y, u16(body->w * body->h)));
}

void Water::draw(SDL_Surface* screen)
{
    if (!screen)
        return;
    reflect(screen);
    const ScreenBox area = onSurface(screen, x + drawOffsetX, y + drawOffsetY, w, h);
    if (area.empty())
        return;
    SDL_Rect rect = toRect(area);
    tintRect(screen, &rect, 100, 180, 240, 1);
}

// Copies the band above the surface onto the water upside down. The band is cut to the back
// buffer first: near the screen's edges only the rows and columns that exist are mirrored.
void Water::reflect(SDL_Surface* screen)
{
    const i32 screenX = x + drawOffsetX;
    const i32 screenY = y + drawOffsetY;
    const i32 bandTop = mirrorTop + drawOffsetY;
    const ScreenBox band = onSurface(screen, screenX, bandTop, w, h);
    if (band.empty())
        return;
    // Band row r lands on row screenY + (bandTop + h - 1 - r): the lowest row kept comes first.
    const i32 destY = screenY + bandTop + h - band.bottom;
    SDL_Rect source = toRect(band);
    blitSurfaceEx(i16(band.left), i16(destY), screen, screen, false, true, &source, false, 0);
}
