#pragma once
#include "core/types.h"
#include "world/physical.h"

#include <SDL/SDL.h>

// A loop point: when the screen's right edge reaches it, the camera and every other object of
// the level jump back by the same distance, so the picture stays and the level runs on forever.
class Looper : public Physical {
public:
    Looper(i32 x, i32 y);
    void update() override;
    // A red bar, for the editor's test play.
    void draw(SDL_Surface* screen) override;
};
