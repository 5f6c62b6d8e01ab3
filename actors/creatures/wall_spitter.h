#pragma once
#include "actors/creatures/wildlife.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

// A creature stuck to the side of a terrain block: rests, charges while blinking, fires a fan of
// shots away from the wall, and rests again. It never moves.
class WallSpitter : public Wildlife {
public:
    // The sheet cell follows the state.
    enum State : u8 {
        Resting = 0,
        ChargeLit = 1,   // charging, first blink cell
        ChargeDim = 2,   // charging, second blink cell
        Unattached = 3,  // has not found its wall yet
        Dead = 4,        // a still corpse
        Bleeding = 5,    // dead and bleeding
    };

    WallSpitter(i32 x, i32 y);

    void onAdd() override;
    void draw(SDL_Surface* screen) override;
    void act() override;

    SDL_Surface* sheet;
    u8 state = Unattached;
    u8 faceLeft = 0;  // clings to the left side of its block, so it faces left
    u8 timer;         // frames left in the current state
    // The block it clings to. A weak reference: the level may despawn the block first.
    PhysicalRef wall;
    Mix_Chunk* sound;

private:
    Physical* blockUnder();
    bool attach();
    void bleed();
    void rest();
    void charge();
    void fire();
};
