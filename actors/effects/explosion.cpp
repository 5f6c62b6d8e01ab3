#include "actors/effects/explosion.h"

#include "actors/effects/strip.h"
#include "core/draw.h"
#include "core/media.h"
#include "world/interfaces.h"
#include "world/systphysical.h"

#include <vector>

namespace {
constexpr u8 CellCount = 18;
constexpr i16 Damage = 25;
constexpr i32 DamageKind = 8;  // explosions, stomps and shock waves
} // namespace

Explosion::Explosion(i32 x, i32 y, u8 delay)
{
    this->x = x - 10;
    this->y = y - 10;
    w = 20;
    h = 20;
    depth = -5;
    typeFlags = 40;
    sheet = loadGraphic("resource/explosion.gif", true, 0, 255, 0, true);
    sound = loadSound("resource/explosion.wav");
    cell = 0;
    this->delay = delay;
    if (delay == 0)
        playSound(sound, 0);
}

void Explosion::update()
{
    if (delay != 0) {
        if (effect_strip::delayEnds(delay))
            playSound(sound, 0);
        return;
    }
    u32 frame = owner->frame();
    if (frame % 2 == 0 && cell == 0)
        hurtOverlapping();
    if (effect_strip::advance(frame, cell, CellCount))
        removeSelf();
}

// No team test: the blast hurts the heroine as readily as a creature.
void Explosion::hurtOverlapping()
{
    // Collected first so that a hurt reaction cannot disturb the category walk.
    std::vector<Damagable*> victims;
    for (Damagable* victim = owner->firstIn<Damagable>(); owner->hasMoreInCategory();
         victim = owner->nextIn<Damagable>()) {
        Physical* other = owner->currentInCategory();
        if (other->x < x + w && other->y < y + h && other->x + other->w > x && other->y + other->h > y)
            victims.push_back(victim);
    }
    for (Damagable* victim : victims)
        victim->hurt(Damage, DamageKind);
}

void Explosion::draw(SDL_Surface* screen)
{
    if (delay != 0)
        return;
    SDL_Rect source{i16(cell * 20), 0, 20, 32};
    blitSurfaceOffset(x, y - 12, sheet, screen, &source);
}
