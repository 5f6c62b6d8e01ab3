#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// The two bars in the top-left corner (the first player's health and second bar) and the
// level's Escape key, which leaves the level.
class GameHUD : public Physical {
public:
    GameHUD();

    void update() override;
    void draw(SDL_Surface* screen) override;

    float healthFraction = 0.0f;
    float secondFraction = 0.0f;
    SDL_Surface* image;
};

// The drawn length of a bar showing `fraction`: 65 pixels when full, clamped to 0..65.
u16 hudBarWidth(float fraction);
