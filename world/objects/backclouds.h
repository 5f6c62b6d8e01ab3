#pragma once
#include "core/types.h"
#include "world/interfaces.h"

#include <SDL/SDL.h>

// The sky behind every level: three cloud layers tiled over the screen, drifting sideways and
// moving against the camera at a sixth, a third and a half of its speed.
class BackClouds : public Background {
public:
    BackClouds();
    void update() override;
    void draw(SDL_Surface* screen) override;

    static constexpr int LayerCount = 3;
    SDL_Surface* layers[LayerCount];  // far to near
    i32 speed = 3;                    // drift in pixels a frame

private:
    void drawLayer(SDL_Surface* screen, SDL_Surface* layer, i32 divisor) const;
};
