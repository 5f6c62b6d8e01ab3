#pragma once
#include "world/interfaces.h"

#include <SDL/SDL.h>

// A land mine: goes off when a character touches it or when it is shot.
class Mine : public PhysicalDamagable {
public:
    Mine(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    void update() override;

    SDL_Surface* image;

private:
    bool touched();
};
