#pragma once
#include "actors/creatures/wildlife.h"

#include <SDL/SDL.h>

// Ambient wildlife: perches, turns about, takes off when a character of another team comes near
// or its timer runs out, flutters about inside the window around the camera and lands again.
// Shot down it bursts into blood and feathers.
class Bird : public Wildlife {
public:
    Bird(i32 x, i32 y);

    void onAdd() override;
    void draw(SDL_Surface* screen) override;
    void act() override;
    // Birds do not scare birds.
    bool isThreat() override { return false; }

    SDL_Surface* image;
    u8 animFrame = 0;  // 0 perched, 1..3 wing beats, 4 dead in the air, 5 dead on the ground
    u8 variant;        // plumage 0 or 1: the sheet row
    u8 flip = 0;       // 1 facing left
    u8 timer = 0;      // frames to the next take-off or landing decision; 255 once burst
    u8 flying = 0;

private:
    bool scared();
    void bathe();
    void sit(bool frightened);
    void flutter(bool frightened);
    void fall();
    void burst();
};
