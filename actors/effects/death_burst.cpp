#include "actors/effects/death_burst.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/systphysical.h"

namespace {
constexpr u8 RootChildren = 5;
constexpr u8 LastGeneration = 5;
} // namespace

Death_Burst::Death_Burst(i32 x, i32 y, u8 generation, i8 velX, i8 velY)
{
    this->x = x - 8;
    this->y = y - 8;
    w = 16;
    h = 16;
    depth = -15;
    typeFlags = 0;
    this->velX = velX;
    this->velY = velY;
    this->generation = generation;
    sheet = loadGraphic("resource/enemy_death.gif", true, 0, 0, 0, true);
    if (generation == 0) {
        playSound(loadSound("resource/enemy_die.wav"), 0);
        delay = 4;
    } else {
        delay = u8(randomRange(2, 5));
        move();
    }
}

void Death_Burst::move()
{
    x += velX;
    y += velY;
}

void Death_Burst::update()
{
    if (delay != 0) {
        --delay;
        move();
        return;
    }
    spawnChildren();
    removeSelf();
}

void Death_Burst::spawnChildren()
{
    i32 centreX = x + 8;
    i32 centreY = y + 8;
    if (generation == 0) {
        for (u8 i = 0; i < RootChildren; ++i) {
            i8 childVelX = i8(randomRange(-4, 4));
            i8 childVelY = i8(randomRange(-4, 4));
            owner->add(new Death_Burst(centreX, centreY, 1, childVelX, childVelY));
        }
    } else if (generation < LastGeneration) {
        // Halves truncate toward zero, so a fragment may slow down but never turns back.
        i8 childVelX = i8(randomRange(velX / 2, velX));
        i8 childVelY = i8(randomRange(velY / 2, velY));
        owner->add(new Death_Burst(centreX, centreY, generation + 1, childVelX, childVelY));
    }
}

void Death_Burst::draw(SDL_Surface* screen)
{
    SDL_Rect source{i16(generation * 16), 0, 16, 16};
    blitSurfaceOffset(x, y, sheet, screen, &source);
}
