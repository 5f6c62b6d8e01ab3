#pragma once
#include "world/interfaces.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

// A hovering gun pod. It drifts about its home point; when a character of another team comes
// near it rises to hover above it and fires bursts of shots in one of four directions. Killed,
// it falls trailing smoke, bounces on the ground and blows up. It has its own flight, not the
// actor physics.
class Floating_Turret : public PhysicalCharacter {
public:
    // Where the barrel points: the high four bits of cells.
    enum Aim : u8 {
        AimDown = 0,   // shots fly down
        AimLeft = 1,   // shots fly left
        AimUp = 2,     // shots fly up
        AimRight = 3,  // shots fly right
    };

    Floating_Turret(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    void update() override;
    // Acid and kind 0x20 do not harm it; a dead turret takes nothing.
    void hurt(i16 amount, i32 kind) override;

    u8 aim() const { return u8(cells >> 4); }

    SDL_Surface* sheet;
    u8 cells = 0;  // low four bits: body animation cell 0-3; high four bits: the Aim
    i8 velX = 0;
    i8 velY = 0;
    u8 burst = 0;      // shots left in the current burst
    u8 cooldown = 30;  // frames until the next burst may start
    i32 targetX;       // the point it steers toward this frame
    i32 targetY;
    i32 homeX;         // where it was placed
    i32 homeY;
    u8 deathTimer = 50;  // counts down once dead
    Mix_Chunk* sound;
    u8 firePhase;  // offsets the firing rhythm so turrets do not fire in step
    u8 flash = 0;  // hurt since the last draw

private:
    bool inActiveArea() const;
    void fallApart();
    void blowUp();
    void trailSmoke();
    Physical* findTarget() const;
    void aimAt(const Physical& target);
    void fire();
    void shoot();
    void steer();
    void damp();
};
