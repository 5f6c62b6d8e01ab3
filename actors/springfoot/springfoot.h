#pragma once
#include "actors/actor.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

// A small hopper that homes in on the nearest foe with random hops and jumps and hurts it by
// landing on it. Shot down, it bursts and stays behind as a corpse.
class Springfoot : public Actor {
public:
    Springfoot(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    void act() override;
    Controls think() override;
    void jump(bool onGround) override;
    void walk(bool onGround, i8 dir) override;
    void hurt(i16 amount, i32 kind) override;
    // Knocks it by a share of (dx, dy): half for a body shot dead this very frame, an eighth else.
    void push(i16 dx, i16 dy);

    SDL_Surface* sheet;
    u8 cell = 0;     // picture 0-8
    u8 faceLeft;     // heading, and the picture is mirrored
    u8 timer = 100;  // counts down on the ground; a jump is allowed at 0
    u8 phase;        // spreads the creatures' rhythms apart
    i32 targetX;     // the point it heads for
    i32 targetY;
    Mix_Chunk* hopSound;
    Mix_Chunk* jumpSound;

private:
    void actDead();
    void actOnGround();
    void actInAir();
    void retarget(bool contact);
};
