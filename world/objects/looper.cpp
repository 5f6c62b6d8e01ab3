#include "world/objects/looper.h"

#include "core/draw.h"
#include "world/factory.h"
#include "world/systphysical.h"

namespace {

constexpr i32 ScreenW = 320;
constexpr i32 ScreenH = 240;
constexpr u32 Red = 0xFFFF0000;

// Toward zero: -13 gives -8.
i32 snapToEight(i32 v)
{
    return v / 8 * 8;
}

Physical* makeLooper(const ObjectArgs& a)
{
    return new Looper(a.x, a.y);
}
ObjectRegistrar looperClass(30, 30, makeLooper);

} // namespace

Looper::Looper(i32 x, i32 y) : Physical(0, snapToEight(x), y - ScreenH / 2, 5, ScreenH, 0) {}

void Looper::update()
{
    SystPhysical* system = owner;
    if (system->cameraX + ScreenW < x)
        return;
    // A whole number of 8-pixel steps, so whatever sits on the placement grid stays on it.
    const i32 shift = -snapToEight(system->cameraX) - ScreenW;
    system->cameraX += shift;
    for (Physical* p = system->firstOfType(FlagAll); system->hasMoreOfType(); p = system->nextOfType())
        if (p != this)
            p->x += shift;
    // The level runner updates first and may have built the column at the screen's new edge in
    // this very frame; left behind, it would leave a hole in the ground every loop.
    system->shiftQueuedX(shift);
}

void Looper::draw(SDL_Surface* screen)
{
    fillRectOffset(screen, i16(x), i16(y), u16(w), u16(h), Red);
}
