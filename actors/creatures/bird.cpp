#include "actors/creatures/bird.h"

#include "actors/blood.h"
#include "actors/box_overlap.h"
#include "actors/creatures/feather.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/systphysical.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr u8 BirdTeam = 4;
constexpr u8 WildlifeKind = 4;
constexpr i32 PerchReach = 17;   // a floor closer than this below the feet is perched on
constexpr i32 FloorSearch = 32;  // how far below the feet a floor is looked for
constexpr i32 FrightRange = 100;
constexpr i32 EdgeMargin = 8;    // the window's limits push back from this close
constexpr u8 BathTimer = 45;
constexpr u8 BurstMark = 255;    // the timer of a bird that has burst
constexpr int FeatherCount = 8;
constexpr u8 DeadInAir = 4;
constexpr u8 DeadOnGround = 5;

Physical* makeBird(const ObjectArgs& a)
{
    return new Bird(a.x, a.y);
}
ObjectRegistrar birdRegistrar(28, 28, makeBird);

i8 clampSpeed(int v, int lo, int hi)
{
    return i8(std::clamp(v, lo, hi));
}

} // namespace

Bird::Bird(i32 x, i32 y) : Wildlife(0, 0)
{
    this->x = x - 2;
    this->y = y - 4;
    w = 4;
    h = 8;
    team = BirdTeam;
    kind = WildlifeKind;
    image = loadGraphic("resource/bird.gif", true, 0, 255, 0, false);
    variant = u8(randomSigned(1));
}

void Bird::onAdd()
{
    health = 2;
    flip = randomSigned(1) == 0 ? 1 : 0;
    floorLimit = y + h + FloorSearch;
    for (Block* block = owner->firstIn<Block>(); owner->hasMoreInCategory(); block = owner->nextIn<Block>())
        block->hitFloor(this, &floorLimit, false);
    if (floorLimit - (y + h) < PerchReach)
        y = floorLimit - h;
    flying = floorLimit > y + h ? 1 : 0;
    if (flying) {
        animFrame = u8(randomRange(1, 3));
        timer = u8(randomRange(30, 60));
    } else {
        timer = u8(randomRange(100, 150));
    }
}

void Bird::act()
{
    if (dead) {
        fall();
        return;
    }
    if (timer > 0)
        --timer;
    bool frightened = scared();
    bathe();
    if (flying)
        flutter(frightened);
    else
        sit(frightened);
}

// The first character of another team that is a threat and near on both axes.
bool Bird::scared()
{
    for (Character* c = owner->firstIn<Character>(); owner->hasMoreInCategory(); c = owner->nextIn<Character>()) {
        Physical* body = owner->currentInCategory();
        if (c->team != team && c->isThreat() && std::abs(centreX(*body) - centreX(*this)) < FrightRange &&
            std::abs(centreY(*body) - centreY(*this)) < FrightRange)
            return true;
    }
    return false;
}

// Water lifts a bird out and keeps it busy for a while.
void Bird::bathe()
{
    for (Physical* p = owner->firstOfType(FlagWater); owner->hasMoreOfType(); p = owner->nextOfType()) {
        if (boxesOverlap(*p, *this)) {
            --velY;
            timer = BathTimer;
        }
    }
}

void Bird::sit(bool frightened)
{
    animFrame = 0;
    if (randomSigned(80) == 0)
        flip ^= 1;
    if (timer == 0 || frightened) {
        velY = -2;
        flying = 1;
        velX = flip ? -1 : 1;
        timer = u8(randomRange(100, 150));
    }
}

void Bird::flutter(bool frightened)
{
    if (owner->frame() % 4 == 0)
        animFrame = u8(animFrame % 3 + 1);
    if (x - leftLimit < EdgeMargin)
        ++velX;
    if (rightLimit - (x + w) < EdgeMargin)
        --velX;
    if (y - ceilingLimit < EdgeMargin)
        ++velY;
    velX = clampSpeed(velX + randomSigned(randomRange(-1, 1)), -3, 3);
    if (velX != 0)
        flip = velX < 0 ? 1 : 0;
    if (timer == 0 && !frightened)
        velY = clampSpeed(velY + randomSigned(randomRange(-1, 2)), -1, 2);  // calm: it sinks
    else
        velY = clampSpeed(velY + randomSigned(randomRange(-3, 1)), -3, 1);  // it climbs
    if (y + h >= floorLimit) {
        velX = 0;
        velY = 0;
        flying = 0;
        timer = u8(randomRange(100, 200));
    }
}

void Bird::fall()
{
    animFrame = y + h >= floorLimit ? DeadOnGround : DeadInAir;
    if (timer != BurstMark)
        burst();
}

void Bird::burst()
{
    timer = BurstMark;
    velX = 0;
    flying = 0;
    owner->add(new Blood(x, y, 0, -3));
    for (int i = 0; i < FeatherCount; ++i) {
        i32 fx = x + randomSigned(w);
        i32 fy = y + randomSigned(h);
        i8 fvx = i8(randomRange(-3, 3));
        i8 fvy = i8(randomRange(-3, 2));
        owner->add(new Feather(fx, fy, fvx, fvy, variant));
    }
}

void Bird::draw(SDL_Surface* screen)
{
    SDL_Rect cell{i16(16 * animFrame), i16(8 * variant), 16, 8};
    blitSurfaceExOffset(x - 6, y, image, screen, flip != 0, false, &cell, false, 0);
}
