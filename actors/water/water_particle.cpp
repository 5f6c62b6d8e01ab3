#include "actors/water/water_particle.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/interfaces.h"
#include "world/systphysical.h"

#include <algorithm>

namespace {
constexpr u8 SprayLife = 30;
constexpr i8 MaxFallSpeed = 8;

// A droplet's speed nudged by at most one, rarely.
i8 scattered(i8 speed)
{
    return i8(speed + randomRange(-8, 8) / 8);
}
} // namespace

Water_Particle::Water_Particle(i32 x, i32 y, i8 velX, i8 velY, u8 grade)
    : Physical(FlagEffect, x - 1, y - 1, 1, 1, -2), grade(grade), velX(velX), velY(velY)
{
    sheet = loadGraphic("resource/water-particles.gif", true, 0, 255, 0, false);
    life = grade != Drop ? SprayLife : u8(randomRange(1, 4));
}

void Water_Particle::update()
{
    if (life == 0)
        burst();
    else
        --life;
    if (meetsTerrain())
        removeSelf();
    if (owner->frame() % 2 == 1)
        velY = std::min<i8>(i8(velY + 1), MaxFallSpeed);
    y += velY;
    x += velX;
}

// A drop breaks into finer spray; spray just dries up.
void Water_Particle::burst()
{
    if (grade == Drop) {
        const int count = randomRange(2, 3);
        for (int i = 0; i < count; ++i) {
            const i32 sprayX = x + randomRange(-2, 2);
            const i32 sprayY = y + randomRange(-2, 2);
            const i8 sprayVelX = scattered(velX);
            const i8 sprayVelY = scattered(velY);
            const u8 sprayGrade = u8(randomRange(Spray, FineSpray));
            owner->add(new Water_Particle(sprayX, sprayY, sprayVelX, sprayVelY, sprayGrade));
        }
    }
    removeSelf();
}

// Asks every block near the path of this frame's step whether the step runs into it.
bool Water_Particle::meetsTerrain()
{
    const i32 left = std::min(x, x + velX) - 1;
    const i32 right = std::max(x, x + velX) + 1;
    const i32 top = std::min(y, y + velY) - 1;
    const i32 bottom = std::max(y, y + velY) + 1;
    bool hit = false;
    for (Block* block = owner->firstIn<Block>(); owner->hasMoreInCategory(); block = owner->nextIn<Block>()) {
        const Physical* b = owner->currentInCategory();
        if (b->x > right || b->x + b->w < left || b->y > bottom || b->y + b->h < top)
            continue;
        if (velX != 0) {
            i32 limit = x + 2 * velX;
            hit |= velX > 0 ? block->hitWallRight(this, &limit, false) : block->hitWallLeft(this, &limit, false);
        }
        if (velY != 0) {
            i32 limit = y + 2 * velY;
            hit |= velY > 0 ? block->hitFloor(this, &limit, false) : block->hitCeiling(this, &limit, false);
        }
    }
    return hit;
}

void Water_Particle::draw(SDL_Surface* screen)
{
    SDL_Rect source{i16(grade * 8), 0, 8, 8};
    blitSurfaceOffset(x - 4, y - 4, sheet, screen, &source);
}
