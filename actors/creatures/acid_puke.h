#pragma once
#include "actors/bullet.h"

#include <SDL/SDL.h>

// One drop of the splecker's acid: falls in an arc and fizzles out, sooner or later.
class AcidPuke : public Bullet {
public:
    AcidPuke(i32 x, i32 y, i8 velX, i8 velY, Physical* shooter);

    void fly() override;
    void hitTarget(Damagable* target) override;
    void draw(SDL_Surface* screen) override;

    SDL_Surface* sheet;
    SDL_Rect frame;  // the drop's cell: 32 flying, 48 to 80 fizzling
};
