#pragma once
#include "actors/actor.h"
#include "actors/springfoot/foes.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

// The level boss: a heavy jumper that sleeps until the boss fight wakes it, stomps on foes,
// sends ground waves along the floor in its middle phase, calls small hoppers in as it weakens
// and collapses in a scripted death. Its phases go by health: above 125 it steers its leaps,
// from 125 to 26 it cannot steer but every hard landing sends waves, at 25 and below it steers
// again and, under 50, walks more often.
class Springfoot_Boss : public Actor, public Boss {
public:
    Springfoot_Boss(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    void act() override;
    Controls think() override;
    void jump(bool onGround) override;
    void walk(bool onGround, i8 dir) override;
    void land() override;
    void hurt(i16 amount, i32 kind) override;

    // health / 250: negative once it is dead below 0.
    float healthFraction() override;
    // The collapse is over and the ground has stopped shaking.
    bool isFinished() override;
    u16 shakeAmount() override;
    // Leaps up and to the left into the arena.
    void activate() override;

    SDL_Surface* sheet;
    u8 state = 0;  // picture 0-5; 5 is the final collapse
    u8 faceLeft;
    u8 jumpTimer = 30;  // counts down on the ground; a big jump comes at 0
    u8 phase;           // spreads its rhythm
    i32 targetX;
    i32 targetY;
    Mix_Chunk* hopSound;
    Mix_Chunk* jumpSound;
    Mix_Chunk* landSound;
    Mix_Chunk* phaseSound;  // phase changes and the start of its death
    Mix_Chunk* dieSound;
    Mix_Chunk* waveSound;
    u8 deathTimer = 150;        // the death shudder, counted on the ground
    u16 reinforceBelow = 200;   // health under which the next reinforcements come
    u8 bigJump = 0;             // set by a big jump, cleared by its landing
    u8 canStomp = 0;            // set by any jump or hop, cleared after one stomp
    u8 dieSoundPending = 0;
    u16 shake = 0;              // screen shake amount, counts down
    u8 lock = 0;                // frames after a landing in which it may not walk
    u8 active = 0;              // set by activate; until then it does nothing of its own

private:
    void callReinforcements();
    void spawnReinforcement();
    void actOnGround();
    void actInAir();
    void actDead();
    void collapse();
    // Heads for the nearest foe seen from (fromX, fromY), else a random point near by.
    FoeSight retarget(i32 fromX, i32 fromY);
    void puffSmoke();
    void bleed(i16 amount);
    void kickUpDust();
    void sendGroundWaves();
    bool wavesPhase() const;
};
