#include "actors/dahlia_bullet.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"

#include <string>

namespace {

// Cells of the strip, by x.
constexpr i16 BlastRight = 0;
constexpr i16 BlastDown = 16;
constexpr i16 BlastUp = 32;
constexpr i16 BlastLeft = 48;
constexpr i16 Bolt = 64;
constexpr i16 LastImpact = 128;
constexpr i16 CellSize = 16;

constexpr u8 LifeFrames = 40;
constexpr i16 Damage = 3;
constexpr i32 GunDamageKind = 2;
constexpr i32 ImpactDepth = -5;  // the impact shows over what stands in front of the wall

i16 blastCell(i8 velX, i8 velY)
{
    if (velY > 0)
        return BlastDown;
    if (velY < 0)
        return BlastUp;
    return velX > 0 ? BlastRight : BlastLeft;
}

} // namespace

Dahlia_Bullet::Dahlia_Bullet(i32 x, i32 y, i8 velX, i8 velY, Physical* shooter)
    : Bullet(x, y, velX, velY, shooter)
{
    hitSound = loadSound("resource/hitground_" + std::to_string(randomRange(1, 6)) + ".wav");
    image = loadGraphic("resource/gunblastsandbullet.gif", true, 0, 255, 0, true);
    frame.x = blastCell(velX, velY);
    driftChance = i8(randomSigned(5));
    driftStep = randomSigned(1) == 0 ? -1 : 1;
}

void Dahlia_Bullet::fly()
{
    if (frame.x < Bolt) {
        // The blast sits a random distance back toward the gun.
        x -= randomSigned(velX);
        y -= randomSigned(velY);
    }
    if (spent)
        frame.x += CellSize;
    else
        frame.x = Bolt;
    if (frame.x > LastImpact || age > LifeFrames)
        removeSelf();
    if (randomSigned(8) < driftChance) {
        if (velY != 0)
            x += driftStep;
        else
            y += driftStep;
    }
}

void Dahlia_Bullet::hitWall(bool noTargetHit)
{
    frame.x = Bolt;
    setDepth(ImpactDepth);
    if (noTargetHit)
        playSound(hitSound, 0);
}

void Dahlia_Bullet::hitTarget(Damagable* target)
{
    target->hurt(Damage, GunDamageKind);
}

void Dahlia_Bullet::draw(SDL_Surface* screen)
{
    i32 drawX = x - 6;
    i32 drawY = y - 6;
    switch (frame.x) {
    case BlastRight:
        drawX = x + 2;
        break;
    case BlastDown:
        drawY = y + 2;
        break;
    case BlastUp:
        drawY = y - 14;
        break;
    case BlastLeft:
        drawX = x - 14;
        break;
    default:
        break;
    }
    blitSurfaceOffset(i16(drawX), i16(drawY), image, screen, &frame);
}
