#pragma once
#include "actors/bullet.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

// The heroine's shot: a muzzle blast in its first frame, then a bolt that wobbles a little
// across its path, and an impact strip once it is spent.
class Dahlia_Bullet : public Bullet {
public:
    Dahlia_Bullet(i32 x, i32 y, i8 velX, i8 velY, Physical* shooter);

    void draw(SDL_Surface* screen) override;
    void fly() override;
    void hitWall(bool noTargetHit) override;
    void hitTarget(Damagable* target) override;

    Mix_Chunk* hitSound = nullptr;
    SDL_Surface* image = nullptr;
    SDL_Rect frame{0, 0, 16, 16};  // the cell shown: muzzle blast, bolt or impact
    i8 driftChance = 0;            // out of 9, the chance to drift sideways in a frame
    i8 driftStep = 1;              // which way it drifts: -1 or +1
};
