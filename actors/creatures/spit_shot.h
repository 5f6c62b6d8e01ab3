#pragma once
#include "actors/bullet.h"

#include <SDL/SDL.h>

// The wall spitter's shot: a flickering blob that splashes on walls.
class SpitShot : public Bullet {
public:
    SpitShot(i32 x, i32 y, i8 velX, i8 velY, Physical* shooter);

    void fly() override;
    void hitWall(bool noTargetHit) override;
    void hitTarget(Damagable* target) override;
    void draw(SDL_Surface* screen) override;

    SDL_Surface* sheet;
    SDL_Rect frame;  // row 16: the flying blob (32, 48); row 32: the splash (0-48)
};
