#include "story/cutaway.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/message.h"
#include "world/systphysical.h"

namespace {

constexpr i32 CutawayDepth = -11;
constexpr i32 TriggerDepth = -9;

} // namespace

Cutaway::Cutaway(u8 variant) : Physical(FlagEffect, 0, 0, 0, 0, CutawayDepth)
{
    mask = loadGraphic(variant == 1 ? "resource/cut_secret.gif" : "resource/cut_normal.gif", true, 0, 0, 0, false);
    if (mask) {
        captured = createSurface(mask->w, mask->h);
        setColorKey(captured, true, 0, 255, 0);
        anchorX = i16(mask->w / 2);
        anchorY = i16(mask->h / 2);
    }
    x = -anchorX;
    y = -anchorY;
}

Cutaway::~Cutaway()
{
    if (captured)
        freeSurface(captured);
    if (trigger)
        trigger->cutaway = nullptr;
}

void Cutaway::update()
{
    if (trigger || !owner)
        return;
    trigger = new CaptureTrigger(this);
    owner->add(trigger);
}

void Cutaway::draw(SDL_Surface* screen)
{
    if (trigger)
        blitSurfaceOffset(i16(x), i16(y), captured, screen, nullptr);
}

void Cutaway::setPosition(i32 px, i32 py)
{
    x = px - anchorX;
    y = py - anchorY;
}

void Cutaway::kill()
{
    if (owner)
        removeSelf();
    else
        showMessageScreen("Killing systemless cutaway");
}

void Cutaway::capture(SDL_Surface* backBuffer)
{
    if (!captured)
        return;
    i32 cameraX = owner ? owner->cameraX : 0;
    i32 cameraY = owner ? owner->cameraY : 0;
    // The capture's pixel (0, 0) receives the screen pixel that shows world point (x, y).
    blitSurface(i16(cameraX - x), i16(cameraY - y), backBuffer, captured, nullptr);
    blitSurface(0, 0, mask, captured, nullptr);
}

CaptureTrigger::CaptureTrigger(Cutaway* cutaway)
    : Physical(FlagEffect, 0, 0, 0, 0, TriggerDepth), cutaway(cutaway)
{
}

CaptureTrigger::~CaptureTrigger()
{
    if (cutaway)
        cutaway->trigger = nullptr;
}

void CaptureTrigger::update()
{
    if (!cutaway)
        removeSelf();
}

void CaptureTrigger::draw(SDL_Surface* screen)
{
    if (cutaway)
        cutaway->capture(screen);
}
