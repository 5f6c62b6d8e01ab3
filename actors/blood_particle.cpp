#include "actors/blood_particle.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/interfaces.h"
#include "world/systphysical.h"

#include <algorithm>

namespace {
constexpr u8 SmallestSize = 5;
constexpr u8 FirstSmallSize = 4;  // sizes from here on never split
constexpr u8 SmallLife = 30;
constexpr i8 MaxFallSpeed = 8;

// The speed of a droplet shed from a body moving at `vel`: up to one pixel a frame off it.
i8 scatteredSpeed(i8 vel)
{
    return i8(vel + randomRange(-8, 8) / 8);
}

} // namespace

i8 bloodFallSpeed(i8 velY, u32 frame)
{
    if (frame % 2 == 0)
        return velY;
    return i8(std::min<int>(velY + 1, MaxFallSpeed));
}

void scatterDroplets(SystPhysical* world, i32 x, i32 y, i8 velX, i8 velY, int count, int sizeFrom, int sizeTo)
{
    for (int i = 0; i < count; ++i) {
        i32 dropX = x + randomRange(-2, 2);
        i32 dropY = y + randomRange(-2, 2);
        i8 dropVelX = scatteredSpeed(velX);
        i8 dropVelY = scatteredSpeed(velY);
        u8 dropSize = u8(randomRange(sizeFrom, sizeTo));
        world->add(new Blood_Particle(dropX, dropY, dropVelX, dropVelY, dropSize));
    }
}

Blood_Particle::Blood_Particle(i32 x, i32 y, i8 velX, i8 velY, u8 size)
{
    this->x = x - 1;
    this->y = y - 1;
    w = 1;
    h = 1;
    depth = -2;
    typeFlags = 32;
    image = loadGraphic("resource/blood-particles.gif", true, 0, 255, 0, true);
    stuckTo = PhysicalRef{nullptr, 0};
    offsetX = 0;
    offsetY = 0;
    this->size = size;
    this->velX = velX;
    this->velY = velY;
    life = size < FirstSmallSize ? u8(randomRange(1, 4)) : SmallLife;
    stuck = 0;
}

void Blood_Particle::update()
{
    if (stuck) {
        rideAlong();
        return;
    }
    if (life == 0) {
        if (size < FirstSmallSize)
            split();
        removeSelf();
    } else {
        --life;
    }
    i32 nx = x + 2 * velX;
    i32 ny = y + 2 * velY;
    Physical* block = nullptr;
    Hit hit = collide(nx, ny, block);
    if (hit != Hit::None)
        stickInto(hit, nx, ny, block);
    else
        fly();
}

// The block is looked at only while the world still holds it, so a droplet never touches
// a block that has been deleted; it leaves the level with it instead.
void Blood_Particle::rideAlong()
{
    if (owner->frame() % 2 == 1) {
        if (owner->isAlive(stuckTo)) {
            x = stuckTo.object->x + offsetX;
            y = stuckTo.object->y + offsetY;
        } else {
            removeSelf();
        }
    }
    if (randomSigned(1000) == 0)
        removeSelf();
}

void Blood_Particle::split()
{
    int count = randomRange(2, 3);
    scatterDroplets(owner, x, y, velX, velY, count, size + 1, SmallestSize);
}

// Asks every block near this frame's path to stop the droplet short of (nx, ny); the limits
// tighten as blocks answer, and the last block that answers is the one it sticks to.
Blood_Particle::Hit Blood_Particle::collide(i32& nx, i32& ny, Physical*& block)
{
    i32 left = std::min(x, x + velX) - 1;
    i32 right = std::max(x, x + velX) + 1;
    i32 top = std::min(y, y + velY) - 1;
    i32 bottom = std::max(y, y + velY) + 1;
    Hit hit = Hit::None;
    for (Block* surface = owner->firstIn<Block>(); owner->hasMoreInCategory(); surface = owner->nextIn<Block>()) {
        Physical* candidate = owner->currentInCategory();
        if (surface->left() > right || surface->right() < left || surface->top() > bottom
            || surface->bottom() < top)
            continue;
        if (velX != 0) {
            bool hitWall = velX < 0 ? surface->hitWallLeft(this, &nx, false)
                                    : surface->hitWallRight(this, &nx, false);
            if (hitWall) {
                hit = Hit::Sideways;
                block = candidate;
            }
        }
        if (velY != 0) {
            bool hitFlat = velY < 0 ? surface->hitCeiling(this, &ny, false)
                                    : surface->hitFloor(this, &ny, false);
            if (hitFlat) {
                hit = Hit::Vertical;
                block = candidate;
            }
        }
    }
    return hit;
}

// The droplet bites a random depth into the surface, shallow bites being the likeliest.
void Blood_Particle::stickInto(Hit hit, i32 nx, i32 ny, Physical* block)
{
    stuck = 1;
    block->makeRef(&stuckTo);
    if (hit == Hit::Vertical) {
        i32 reach = std::clamp<i32>(velY, -block->h, block->h);
        y = ny + randomSigned(randomSigned(reach));
    } else {
        i32 reach = std::clamp<i32>(velX, -block->w, block->w);
        x = nx + randomSigned(randomSigned(reach));
    }
    offsetX = i16(x - block->x);
    offsetY = i16(y - block->y);
}

void Blood_Particle::fly()
{
    velY = bloodFallSpeed(velY, owner->frame());
    y += velY;
    x += velX;
}

void Blood_Particle::draw(SDL_Surface* screen)
{
    SDL_Rect source{i16(size * 8), 0, 8, 8};
    blitSurfaceOffset(x - 4, y - 4, image, screen, &source);
}
