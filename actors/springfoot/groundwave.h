#pragma once
#include "actors/bullet.h"

// An invisible shock wave that runs along the floor, throwing up a trail of earth, until a
// wall or the edge of the view stops it.
class GroundWave : public Bullet {
public:
    // (x, y): the point on the floor it starts from.
    GroundWave(i32 x, i32 y, i8 velX, Physical* shooter);

    void fly() override;
    void hitWall(bool noTargetHit) override;
    void hitTarget(Damagable* target) override;

    u8 steps = 0;  // updates so far; every second one leaves a burst
};
