#include "actors/blood.h"

#include "actors/blood_particle.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/systphysical.h"

namespace {
constexpr u8 LastFrame = 8;  // the blob is gone when its frame reaches this
constexpr u8 SplatterCountdown = 20;
} // namespace

Blood::Blood(i32 x, i32 y, i8 velX, i8 velY)
{
    this->x = x;
    this->y = y;
    w = 0;
    h = 0;
    depth = -2;
    typeFlags = 32;
    image = loadGraphic("resource/blood.gif", true, 0, 255, 0, true);
    frame = 0;
    this->velX = velX;
    this->velY = velY;
    countdown = u8(randomRange(2, 5));
}

void Blood::onAdd()
{
    owner->add(new Blood_Particle(x, y, velX, velY, 0));
    // Half of the blobs leave just that droplet.
    if (randomSigned(1) == 0)
        removeSelf();
}

void Blood::nextStage()
{
    ++frame;
    if (frame >= LastFrame)
        removeSelf();
}

void Blood::shedDroplets()
{
    int count = randomRange(1, 2);
    scatterDroplets(owner, x, y, velX, velY, count, 4, 5);
}

// The blob is a point: it splatters on every block that holds that point strictly inside.
void Blood::splatter()
{
    for (owner->firstIn<Block>(); owner->hasMoreInCategory(); owner->nextIn<Block>()) {
        Physical* block = owner->currentInCategory();
        if (block->x < x && block->y < y && block->x + block->w > x && block->y + block->h > y) {
            countdown = SplatterCountdown;
            velX = 0;
            velY = 0;
            nextStage();
        }
    }
}

void Blood::update()
{
    --countdown;
    if (countdown == 0) {
        nextStage();
        shedDroplets();
        countdown = u8(randomRange(2, 5));
    }
    x += velX;
    y += velY;
    velY = bloodFallSpeed(velY, owner->frame());
    splatter();
}

void Blood::draw(SDL_Surface* screen)
{
    SDL_Rect source{i16((frame & 15) * 16), 0, 16, 16};
    blitSurfaceOffset(x - 8, y - 8, image, screen, &source);
}
