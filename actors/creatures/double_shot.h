#pragma once
#include "actors/bullet.h"

#include <SDL/SDL.h>

// The floating turret's shot: a muzzle flash beside the pod, then a bolt, then a splash.
class DoubleShot : public Bullet {
public:
    DoubleShot(i32 x, i32 y, i8 velX, i8 velY, Physical* shooter);

    void fly() override;
    void hitWall(bool noTargetHit) override;
    void hitTarget(Damagable* target) override;
    void draw(SDL_Surface* screen) override;

    SDL_Surface* sheet;
    SDL_Rect frame;  // the cell shown: a muzzle flash on row 0 until the first flight, then row 16
};
