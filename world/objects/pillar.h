#pragma once
#include "core/types.h"
#include "world/interfaces.h"

#include <SDL/SDL.h>

// A stone column placed as a level object. When added it reaches down to the floor beneath its
// placement; afterwards it grows or shrinks one pixel a frame toward its target height, its
// bottom fixed, shaking sideways while it moves. The plain pillar is only a platform.
class Pillar : public PhysicalBlock {
public:
    Pillar(i32 x, i32 y);

    // Measures the floor, then lets the kind settle in (onGrounded).
    void onAdd() override;
    void update() override;
    void draw(SDL_Surface* screen) override;
    bool hitFloor(Physical* mover, i32* limit, bool onGround) override;

    // Called once the pillar has its measured height.
    virtual void onGrounded() {}

    SDL_Surface* image;    // cap cell (0, 0), shaft cell (0, 16)
    u16 targetHeight = 24;
    i8 shake = 0;          // sideways drawing offset while moving: -1, 0 or +1

protected:
    Pillar(u32 flags, i32 x, i32 y);
    // Drops the pillar to a one-pixel stub at the floor; answers the height it had.
    u16 sink();

private:
    void measureFloor();
};
