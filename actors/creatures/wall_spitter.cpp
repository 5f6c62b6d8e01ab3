#include "actors/creatures/wall_spitter.h"

#include "actors/blood.h"
#include "actors/box_overlap.h"
#include "actors/creatures/spit_shot.h"
#include "actors/effects/death_burst.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/systphysical.h"

namespace {

constexpr u8 WildlifeTeam = 4;
constexpr u8 WildlifeKind = 4;
constexpr i16 FullHealth = 18;
constexpr u8 RestTime = 15;    // 16 frames of rest
constexpr u8 ChargeTime = 60;  // 61 frames of charge
constexpr u8 BleedTime = 30;   // 31 frames of bleeding
constexpr i32 MuzzleOffset = 6;

Physical* makeWallSpitter(const ObjectArgs& a)
{
    return new WallSpitter(a.x, a.y);
}
ObjectRegistrar wallSpitterRegistrar(9, 9, makeWallSpitter);

struct Spit {
    i8 velX;  // away from the wall
    i8 velY;
};
constexpr Spit NarrowFan[] = {{4, 0}, {3, 2}, {3, -2}};
constexpr Spit WideFan[] = {{3, -3}, {4, -1}, {4, 1}, {3, 3}};

} // namespace

WallSpitter::WallSpitter(i32 x, i32 y) : Wildlife(x, y)
{
    health = FullHealth;
    team = WildlifeTeam;
    kind = WildlifeKind;
    this->x = x - 8;
    this->y = (y - 8) & ~7;
    w = 16;
    h = 16;
    depth = -3;
    sheet = loadGraphic("resource/wallspitter.gif", true, 0, 255, 0, false);
    timer = u8(randomSigned(60));
    sound = loadSound("resource/multiblast.wav");
}

// The first terrain block its box overlaps.
Physical* WallSpitter::blockUnder()
{
    for (Physical* p = owner->firstOfType(FlagBlock); owner->hasMoreOfType(); p = owner->nextOfType()) {
        if (boxesOverlap(*p, *this))
            return p;
    }
    return nullptr;
}

// The level adds the terrain and the objects of its first screen in one pass, so the wall may
// not be in the world yet: a spitter that finds none looks once more at its first update.
void WallSpitter::onAdd()
{
    attach();
}

// Clings to the side of the block nearer its centre, its own centre on the block's edge.
bool WallSpitter::attach()
{
    Physical* block = blockUnder();
    if (!block)
        return false;
    state = ChargeLit;
    if (centreX(*this) <= centreX(*block)) {
        faceLeft = 1;
        x = block->x - 8;
    } else {
        faceLeft = 0;
        x = block->x + block->w - 8;
    }
    block->makeRef(&wall);
    return true;
}

void WallSpitter::act()
{
    velX = 0;
    velY = 0;
    if (state == Unattached) {
        if (!attach())
            removeSelf();
        return;
    }
    if (dead) {
        bleed();
        return;
    }
    if (state == Resting)
        rest();
    else if (state == ChargeLit || state == ChargeDim)
        charge();
}

void WallSpitter::bleed()
{
    if (state < Dead) {
        state = Bleeding;
        timer = BleedTime;
        owner->add(new Death_Burst(centreX(*this), centreY(*this), 0, 0, 0));
    }
    if (state != Bleeding)
        return;
    const i32 bloodY = y + randomRange(9, 13);
    const i8 bloodVelX = i8(faceLeft ? randomRange(-3, -4) : randomRange(3, 4));
    const i8 bloodVelY = i8(randomRange(-1, 0));
    owner->add(new Blood(x + 8, bloodY, bloodVelX, bloodVelY));
    if (timer == 0)
        state = Dead;
    else
        --timer;
}

void WallSpitter::rest()
{
    if (timer == 0) {
        state = ChargeLit;
        timer = ChargeTime;
    } else {
        --timer;
    }
}

// The cell blinks every four frames; the fan goes off when the charge has run out.
void WallSpitter::charge()
{
    if (timer == 0) {
        fire();
        return;
    }
    state = (timer & 4) ? ChargeLit : ChargeDim;
    --timer;
}

void WallSpitter::fire()
{
    playSound(sound, 0);
    const i32 side = faceLeft ? -1 : 1;
    const i32 muzzleX = centreX(*this) + side * MuzzleOffset;
    const i32 muzzleY = centreY(*this);
    const bool wide = randomRange(0, 1) == 1;
    const Spit* fan = wide ? WideFan : NarrowFan;
    const int shots = wide ? 4 : 3;
    for (int i = 0; i < shots; ++i)
        owner->add(new SpitShot(muzzleX, muzzleY, i8(side * fan[i].velX), fan[i].velY, this));
    state = Resting;
    timer = RestTime;
}

void WallSpitter::draw(SDL_Surface* screen)
{
    SDL_Rect cell = state < Dead ? SDL_Rect{i16(state * 16), 0, 16, 16} : SDL_Rect{i16((state - 4) * 16), 16, 16, 16};
    blitSurfaceExOffset(x, y, sheet, screen, faceLeft != 0, false, &cell, hurtThisFrame != 0, 0xFFFFFFFF);
}
