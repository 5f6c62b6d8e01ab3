#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// A water droplet that flies with gravity. A drop bursts into finer spray after a few frames;
// spray lives longer. Either vanishes on terrain.
class Water_Particle : public Physical {
public:
    // The grade is the sheet cell.
    enum Grade : u8 {
        Drop = 0,       // bursts after 1 to 4 updates
        Spray = 1,      // lives 30 updates
        FineSpray = 2,  // lives 30 updates
    };

    Water_Particle(i32 x, i32 y, i8 velX, i8 velY, u8 grade);

    void draw(SDL_Surface* screen) override;
    void update() override;

    SDL_Surface* sheet;
    u8 grade;
    i8 velX;
    i8 velY;
    u8 life;  // updates left before it bursts or dries up

private:
    void burst();
    bool meetsTerrain();
};
