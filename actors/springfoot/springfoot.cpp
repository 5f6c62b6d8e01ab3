#include "actors/springfoot/springfoot.h"

#include "actors/blood.h"
#include "actors/effects/death_burst.h"
#include "actors/springfoot/foes.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/systphysical.h"

#include <algorithm>

namespace {

constexpr i16 StartHealth = 12;
constexpr u8 CreatureTeam = 4;
constexpr u8 WildlifeKind = 4;

// Pictures of the sheet.
constexpr u8 CellStand = 0;
constexpr u8 CellCrouch = 1;
constexpr u8 CellLanding = 2;
constexpr u8 CellAirborne = 3;
constexpr u8 CellDeathFirst = 6;
constexpr u8 CellDeathLast = 8;
constexpr u8 DeathCellFrames = 5;  // the timer restarts here: six frames a death picture
constexpr i16 CellSize = 16;

constexpr i8 HopSpeed = 2;
constexpr i8 JumpSpeedX = 4;
constexpr i8 LowJumpSpeed = -5;
constexpr i8 HighJumpSpeed = -7;
constexpr i32 LowJumpReach = 40;  // a target no higher than this takes the low jump
constexpr i32 WanderReach = 64;   // a random target lies this far off at most

constexpr i16 ContactDamage = 5;
constexpr i32 StompDamageKind = 8;
constexpr i16 MostBlood = 10;
constexpr u32 HurtColour = 0xFFFFDDDD;  // light pink silhouette

} // namespace

Springfoot::Springfoot(i32 x, i32 y) : Actor(x, y)
{
    health = StartHealth;
    team = CreatureTeam;
    kind = WildlifeKind;
    this->x = x - 4;
    this->y = y - 8;
    w = 8;
    h = 16;
    sheet = loadGraphic("resource/springfoot.gif", true, 0, 255, 0, false);
    faceLeft = randomSigned(1) == 1;
    phase = u8(randomSigned(255));
    targetX = this->x + randomRange(-WanderReach, WanderReach);
    targetY = this->y + randomRange(-WanderReach, WanderReach);
    hopSound = loadSound("resource/springfoot_low.wav");
    jumpSound = loadSound("resource/springfoot_high.wav");
}

Controls Springfoot::think()
{
    if (dead)
        return Controls();
    return Controls(faceLeft ? -1 : 1, timer == 0 && y + 8 > targetY);
}

void Springfoot::jump(bool onGround)
{
    if (!onGround)
        return;
    velY = y - targetY <= LowJumpReach ? LowJumpSpeed : HighJumpSpeed;
    velX = faceLeft ? -JumpSpeedX : JumpSpeedX;
    playSound(jumpSound, 0);
}

void Springfoot::walk(bool onGround, i8 dir)
{
    if (dir == 0)
        return;
    if (onGround) {
        if (randomSigned(8) == 0) {
            velY = -HopSpeed;
            velX = i8(HopSpeed * dir);
            playSound(hopSound, 0);
        }
        return;
    }
    // Steering in the air never slows down a faster leap in the same direction.
    if (dir > 0 && velX < HopSpeed)
        ++velX;
    else if (dir < 0 && velX > -HopSpeed)
        --velX;
}

void Springfoot::act()
{
    if (dead)
        actDead();
    else if (standing())
        actOnGround();
    else
        actInAir();
}

void Springfoot::actDead()
{
    if (cell < CellDeathFirst) {
        cell = CellDeathFirst;
        timer = 1;
    }
    if (!standing())
        return;
    velX = 0;
    if (cell >= CellDeathLast)
        return;
    if (timer == 0) {
        timer = DeathCellFrames;
        ++cell;
    } else {
        --timer;
    }
}

void Springfoot::actOnGround()
{
    if (velY > -HopSpeed)
        velX = 0;
    if (timer == 0)
        timer = u8(randomRange(40, 80));
    --timer;
    if ((owner->frame() + 2u * phase) % 15 == 0)
        retarget(false);
    cell = timer % 8 < 3 ? CellCrouch : CellStand;
}

void Springfoot::actInAir()
{
    const bool nearFloor = floorLimit <= y + 2 * h;
    cell = nearFloor || velX == 0 ? CellLanding : CellAirborne;
    if ((owner->frame() + phase) % 4 == 0)
        retarget(true);
}

void Springfoot::retarget(bool contact)
{
    targetX = x + randomRange(-WanderReach, WanderReach);
    targetY = y + randomRange(-WanderReach, WanderReach);
    const FoeSight sight = lookForFoes(*this, team, x + 4, y + 8);
    if (sight.found) {
        targetX = sight.x;
        targetY = sight.y;
    }
    if (contact) {
        for (Character* foe : sight.touching) {
            foe->hurt(ContactDamage, StompDamageKind);
            velX = i8(-velX);
        }
    }
    faceLeft = targetX < x;
}

void Springfoot::hurt(i16 amount, i32 kind)
{
    if (dead)
        return;
    health = i16(health - amount);
    const i16 drops = std::min(i16(amount / 2), MostBlood);
    for (i16 i = 0; i < drops; ++i) {
        const i8 dropX = i8(randomRange(-2, 2));
        const i8 dropY = i8(randomRange(-3, 1));
        addPhysical(owner, new Blood(x + 4, y + 4, dropX, dropY));
    }
    if (health < 1) {
        dead = 1;
        addPhysical(owner, new Death_Burst(x + w / 2, y + h / 2, 0, 0, 0));
    }
}

void Springfoot::push(i16 dx, i16 dy)
{
    const i16 share = hurtThisFrame && dead ? 2 : 8;
    velX = i8(velX + dx / share);
    velY = i8(velY + dy / share);
}

void Springfoot::draw(SDL_Surface* screen)
{
    SDL_Rect source{i16(cell * CellSize), 0, u16(CellSize), u16(CellSize)};
    blitSurfaceExOffset(i16(x - 4), i16(y), sheet, screen, faceLeft, false, &source, hurtThisFrame, HurtColour);
}

namespace {

Physical* makeSpringfoot(const ObjectArgs& args)
{
    return new Springfoot(args.x, args.y);
}

const ObjectRegistrar springfootPlacement(8, 8, makeSpringfoot);

} // namespace
