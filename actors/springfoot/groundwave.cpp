#include "actors/springfoot/groundwave.h"

#include "actors/effects/ground_burst.h"
#include "world/systphysical.h"

namespace {

constexpr u8 LifeFrames = 100;
constexpr i16 Damage = 5;
constexpr i32 ShockDamageKind = 8;

} // namespace

GroundWave::GroundWave(i32 x, i32 y, i8 velX, Physical* shooter) : Bullet(x, y, velX, 0, shooter)
{
    this->x = x - 4;
    this->y = y - 4;
    w = 8;
    h = 4;
    depth = -5;
}

void GroundWave::fly()
{
    ++steps;
    if (steps % 2 == 0)
        owner->add(new Ground_Burst(x + velX + 4, y + 4));
    if (spent || age > LifeFrames)
        removeSelf();
}

void GroundWave::hitWall(bool noTargetHit)
{
    velX = 0;
}

void GroundWave::hitTarget(Damagable* target)
{
    target->hurt(Damage, ShockDamageKind);
}
