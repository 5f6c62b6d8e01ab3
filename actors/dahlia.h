#pragma once
#include "actors/actor.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

class ControlPad;

// The heroine, steered by one player's pad: runs, backpedals, jumps, aims four ways and fires.
// Players 0 to 5 each have one; a dead body stays as a corpse once its replacement is made.
class Dahlia : public Actor, public Player {
public:
    // Upper-body poses, the columns of the sheet's top row.
    enum Pose : u16 {
        PoseForward = 0,    // gun level, the way she faces
        PoseUp = 1,         // aiming up
        PoseDown = 2,       // aiming down
        PoseBackpedal = 3,  // gun level, backwards while she backs off
    };
    // Values of walkFrame that are not steps of the walk cycle.
    enum LegState : i16 {
        LegsStanding = -1,  // standing still
        LegsRising = -2,    // in the air, going up
        LegsFalling = -3,   // in the air, coming down
    };
    // The sounds, in the order of the sounds array.
    enum Sound : u8 {
        SoundGun,
        SoundJump,
        SoundLand,
        SoundHit1,
        SoundHit2,
        SoundHit3,
        SoundStep1,
        SoundStep2,
        SoundStep3,
        SoundCount
    };

    Dahlia(i32 x, i32 y, u8 playerNo);

    void draw(SDL_Surface* screen) override;
    void act() override;
    Controls think() override;
    void jump(bool onGround) override;
    void walk(bool onGround, i8 dir) override;
    void land() override;

    float healthFraction() override;
    float secondBarFraction() override;
    i32 centerX() override;
    i32 centerY() override;

    // Where she stands now becomes the place her replacement appears.
    void setRespawnPoint();
    void addImpulse(i16 a, i16 b);

    i32 respawnX;
    i32 respawnY;
    i8 facing = 1;                // +1 right, -1 left
    u8 turnCount = 0;             // ground frames walked against facing
    u16 respawnCountdown;         // counts down while dead
    u8 playerNo;
    u8 hurtCooldown = 0;          // frames left of the hurt blink
    Mix_Chunk* sounds[SoundCount];
    u8 lastHitSound = 0;          // which of the three hurt sounds played last
    SDL_Surface* sheet;
    u8 backpedal = 0;             // walking against facing without having turned
    u16 pose = PoseForward;
    i16 walkFrame = 0;            // 0..15 in the walk cycle, else a LegState
    u16 deathFrame = 0;           // 0..11 of the collapse
    SDL_Rect upperRect{0, 0, 16, 19};
    SDL_Rect legsRect{0, 38, 16, 19};
    SDL_Rect corpseRect{0, 57, 16, 19};
    ControlPad* pad;
    // A screen-capture cutaway that follows her, when one is set.
    PhysicalRef cutaway;

private:
    void moveCutaway();
    void play(u8 sound);
    void playStep();
    void regenerate();
    void fallOutOfView();
    void aim();
    void animate();
    void countDownToRespawn();
    void respawn();
    void fire();
    void openPauseMenu();
    void soundHurt();
    void throwDust(i8 drift);
    void drawAlive(SDL_Surface* screen);
    void drawCorpse(SDL_Surface* screen);
    void blitPart(SDL_Surface* screen, i32 px, i32 py, SDL_Rect* cell, bool solid, u32 colour);
};

// A picture of the heroine seated, placed as scenery.
class Dahlia_Sit : public Physical {
public:
    Dahlia_Sit(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;

    SDL_Surface* image;
};
