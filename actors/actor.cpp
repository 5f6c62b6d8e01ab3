#include "actors/actor.h"

#include "world/systphysical.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr i32 ViewWidth = 320;
constexpr i32 ViewHeight = 240;
constexpr i32 UpdateMargin = 16;  // actors this close to the view still update
constexpr i32 WindowMargin = 32;  // no actor moves farther than this beyond the view
constexpr i8 MaxFallSpeed = 8;
constexpr i8 JumpSpeed = -6;
constexpr i8 WalkSpeed = 2;
constexpr u32 RestingScanPeriod = 6;  // a body at rest looks at the terrain every sixth frame
constexpr i32 CrushDamageKind = 1;

} // namespace

Controls::Controls(i8 dir, bool jump)
{
    if (dir > 0)
        bits |= Right;
    else if (dir < 0)
        bits |= Left;
    if (jump)
        bits |= Jump;
}

i8 Controls::dir() const
{
    switch (bits & (Right | Left)) {
    case Right:
        return 1;
    case Left:
        return -1;
    default:
        return 0;
    }
}

Actor::Actor(i32 x, i32 y) : MovingCharacter(FlagDamagable | FlagCharacter, x, y, 0, 0, 0)
{
    health = 100;
}

void Actor::setControls(Controls c)
{
    controls = c;
    controlsForced = 1;
}

bool Actor::onScreen() const
{
    const i32 camX = owner->cameraX;
    const i32 camY = owner->cameraY;
    return y - UpdateMargin <= camY + ViewHeight && x - UpdateMargin <= camX + ViewWidth &&
           y + h + UpdateMargin >= camY && x + w + UpdateMargin >= camX;
}

void Actor::update()
{
    if (!onScreen() && !(typeFlags & FlagPlayer))
        return;
    watchHealth();
    if (!controlsForced)
        controls = think();
    move(controls);
    act();
    controlsForced = 0;
}

void Actor::watchHealth()
{
    if (health != lastHealth) {
        hurtThisFrame = health < lastHealth;
        lastHealth = health;
    } else {
        hurtThisFrame = 0;
    }
}

bool Actor::restsThisFrame() const
{
    return velX == 0 && velY == 0 && (owner->frame() + serial) % RestingScanPeriod != 0;
}

bool Actor::move(Controls c)
{
    bool onGround = standing();
    if (!restsThisFrame()) {
        scanWalls(onGround);
        stepSideways();
        scanFloorAndCeiling(onGround);
        stepVertically();
        onGround = standing();
    }
    if (onGround)
        settleOnFloor();
    stopAtCeiling();
    if (!onGround && owner->frame() % 2 == 0)
        velY = i8(std::min(velY + 1, i32(MaxFallSpeed)));
    if (!dead)
        walk(onGround, c.dir());
    if (c.jump() && !dead)
        jump(onGround);
    return true;
}

void Actor::scanWalls(bool onGround)
{
    leftLimit = owner->cameraX - w - WindowMargin;
    rightLimit = owner->cameraX + w + ViewWidth + WindowMargin;
    for (owner->firstOfType(FlagBlock); owner->hasMoreOfType(); owner->nextOfType()) {
        Block* block = owner->currentOfTypeAs<Block>();
        if (!block)
            continue;
        block->hitWallLeft(this, &leftLimit, onGround);
        block->hitWallRight(this, &rightLimit, onGround);
    }
}

void Actor::stepSideways()
{
    x += velX;
    if (x + w >= rightLimit) {
        x = std::min(x, rightLimit - w);
        if (velX > 0)
            velX = 0;
        if (x < leftLimit)
            crush();
    }
    if (x <= leftLimit) {
        x = std::max(x, leftLimit);
        if (velX < 0)
            velX = 0;
        if (x + w > rightLimit)
            crush();
    }
}

void Actor::scanFloorAndCeiling(bool onGround)
{
    floorLimit = owner->cameraY + h + ViewHeight + WindowMargin;
    ceilingLimit = owner->cameraY - h - WindowMargin;
    slopeCode = 0;
    for (owner->firstOfType(FlagBlock); owner->hasMoreOfType(); owner->nextOfType()) {
        Block* block = owner->currentOfTypeAs<Block>();
        if (!block)
            continue;
        block->hitCeiling(this, &ceilingLimit, onGround);
        if (block->hitFloor(this, &floorLimit, onGround))
            slopeCode = i8(block->slopeCode());
    }
}

void Actor::stepVertically()
{
    if (velY < 0) {
        y += velY;
        return;
    }
    const i32 newY = y + velY;
    const i32 reach = std::abs(velX);
    if (floorLimit - (newY + h) > reach) {
        y = newY;
    } else if (floorLimit - h <= ceilingLimit + reach) {
        // No room to stand between floor and ceiling: the sideways step is taken back.
        x -= velX;
        y = newY;
    } else {
        // Snap down onto a floor no further below than the walking speed: keeps walkers on slopes.
        y = floorLimit - h;
    }
}

void Actor::settleOnFloor()
{
    y = std::min(y, floorLimit - h);
    if (velY > 0) {
        land();
        velY = 0;
    }
    if (y < ceilingLimit)
        crush();
}

void Actor::stopAtCeiling()
{
    if (y > ceilingLimit)
        return;
    y = ceilingLimit;
    if (velY < 0)
        velY = 0;
    if (y + h > floorLimit)
        crush();
}

void Actor::crush()
{
    hurt(health, CrushDamageKind);
}

void Actor::jump(bool onGround)
{
    if (onGround)
        velY = std::min(velY, JumpSpeed);
}

void Actor::walk(bool onGround, i8 dir)
{
    if (onGround) {
        if (dir == 0)
            velX = 0;
        else if (dir == 1)
            velX = WalkSpeed;
        else if (dir == -1)
            velX = -WalkSpeed;
        return;
    }
    steerInAir(dir);
}

// Every fourth frame the controls nudge the speed by one, up to the walking speed either way.
void Actor::steerInAir(i8 dir)
{
    if (owner->frame() % 4 == 0)
        velX = i8(std::clamp(velX + dir, -i32(WalkSpeed), i32(WalkSpeed)));
}

bool Actor::belowView() const
{
    return y > owner->cameraY + ViewHeight;
}
