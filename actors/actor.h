#pragma once
#include "core/types.h"
#include "world/interfaces.h"

// One byte of movement intent: what an actor's think decides and its move carries out.
class Controls {
public:
    enum Bit : u8 {
        Right = 0x1,  // walk right
        Left = 0x2,   // walk left
        Jump = 0x4,   // jump (from the ground only)
    };

    Controls() = default;
    // dir > 0 walks right, dir < 0 left, 0 neither.
    Controls(i8 dir, bool jump);

    // +1 right, -1 left, 0 for neither or both.
    i8 dir() const;
    bool jump() const { return (bits & Jump) != 0; }

    u8 bits = 0;
};

// Character's velocity queries answer with the actor's speed. They are answered one class below
// Actor because Actor's own speed fields carry the same names.
class MovingCharacter : public PhysicalCharacter {
public:
    using PhysicalCharacter::PhysicalCharacter;
    i32 velX() override { return speedX(); }
    i32 velY() override { return speedY(); }

private:
    virtual i32 speedX() const = 0;
    virtual i32 speedY() const = 0;
};

// Base of every walking, jumping or flying body: gravity, walking, jumping, collision with the
// terrain blocks, slope snapping and the crush rule, run in a fixed order each frame.
class Actor : public MovingCharacter {
public:
    Actor(i32 x, i32 y);

    // Decide (or take forced controls), move, act. Subclasses change the parts, not the order.
    void update() override;

    // Scripted scenes drive an actor with these instead of its own think, for the next update.
    void setControls(Controls c);

    virtual void act() {}
    virtual Controls think() { return Controls(); }
    // The shared physics; always answers true.
    virtual bool move(Controls c);
    virtual void jump(bool onGround);
    virtual void walk(bool onGround, i8 dir);
    // Touching down while falling; velY still holds the fall speed.
    virtual void land() {}

    u8 kind = 0;  // what sort of body (1 the heroine, 2 follower, 3 chaser, 4 wildlife)
    i8 velX = 0;  // pixels per frame, positive right
    i8 velY = 0;  // pixels per frame, positive down
    // Slope of the floor under the feet at the last vertical scan: +4 rising left, -4 rising right.
    i8 slopeCode = 0;
    // The movement window of the last scan: bounds of the bottom, top, left and right edges.
    i32 floorLimit = 100000;
    i32 ceilingLimit = -100000;
    i32 leftLimit = -100000;
    i32 rightLimit = 100000;
    Controls controls;
    u8 hurtThisFrame = 0;   // health dropped since the last update
    u8 controlsForced = 0;  // setControls is waiting for the next update
    i16 lastHealth = 0;     // 0, so the first update records full health without calling it a hurt

protected:
    bool onScreen() const;
    bool standing() const { return y + h >= floorLimit; }
    // The airborne part of a walk: a slow turn toward the pressed direction.
    void steerInAir(i8 dir);
    // Fallen out beneath the view, never to come back.
    bool belowView() const;

private:
    i32 speedX() const override { return velX; }
    i32 speedY() const override { return velY; }

    void watchHealth();
    bool restsThisFrame() const;
    void scanWalls(bool onGround);
    void stepSideways();
    void scanFloorAndCeiling(bool onGround);
    void stepVertically();
    void settleOnFloor();
    void stopAtCeiling();
    void crush();
};
