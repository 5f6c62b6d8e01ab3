#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// One droplet: flies under gravity, splits into smaller ones, and sticks where it hits
// terrain, riding along with that block until the block leaves the level.
class Blood_Particle : public Physical {
public:
    Blood_Particle(i32 x, i32 y, i8 velX, i8 velY, u8 size);

    void draw(SDL_Surface* screen) override;
    void update() override;

    SDL_Surface* image;
    PhysicalRef stuckTo;
    i16 offsetX;  // place on the block it sticks to
    i16 offsetY;
    u8 size;  // 0 largest .. 5 smallest
    i8 velX;
    i8 velY;
    u8 life;  // flight updates left before it splits or ends
    u8 stuck;

private:
    enum class Hit : u8 {
        None,      // flew on
        Sideways,  // met a wall
        Vertical   // met a floor or ceiling
    };

    void rideAlong();
    void split();
    Hit collide(i32& nx, i32& ny, Physical*& block);
    void stickInto(Hit hit, i32 nx, i32 ny, Physical* block);
    void fly();
};

// Adds `count` droplets to the world around (x, y), each up to two pixels off it, moving up to
// one pixel a frame off (velX, velY), and of a size from sizeFrom to sizeTo.
void scatterDroplets(SystPhysical* world, i32 x, i32 y, i8 velX, i8 velY, int count, int sizeFrom, int sizeTo);

// Blood's gravity: on odd frames one pixel a frame faster, up to 8. A drop thrown down faster
// than that (a splecker's, or one shed from a falling blob) is slowed to 8 as well.
i8 bloodFallSpeed(i8 velY, u32 frame);
