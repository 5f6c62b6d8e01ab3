#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// A motionless picture of a splecker, head up and awake.
class Fake_Splecker : public Physical {
public:
    Fake_Splecker(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    // Roots it on the floor below as a living splecker roots itself; none in reach removes it.
    void takeRoot();

    SDL_Surface* sheet;
    u8 faceRight;  // the head is mirrored when set
    i32 rootX;     // left of the neck column
    i32 rootY;     // the ground line the neck stands on
    u8 neck = 0;
};
