#pragma once
#include "core/types.h"
#include "world/interfaces.h"

#include <vector>

// Base of every shot: flies straight, hurts every Damagable it overlaps (its own team's
// characters and dead characters excepted), stops at solid terrain or at the edge of the window
// around the camera. Each kind of shot adds its motion, its wall reaction, its effect on a target
// and its drawing.
class Bullet : public Physical {
public:
    // (x, y) is the centre of the shot.
    Bullet(i32 x, i32 y, i8 velX, i8 velY, Physical* shooter);

    void update() override;

    // Called every update after the move, spent or not.
    virtual void fly() {}
    // The shot was spent while overlapping solid terrain; noTargetHit when it hurt nothing.
    virtual void hitWall(bool noTargetHit) {}
    virtual void hitTarget(Damagable* target) {}

    i8 velX = 0;
    i8 velY = 0;
    u8 age = 0;    // frames lived
    u8 spent = 0;  // struck something or left the window
    u8 team = 0;   // the shooter's team; the shot passes that team's characters

private:
    struct Window {
        i32 left;
        i32 right;
        i32 top;
        i32 bottom;
    };

    bool overlaps(const Physical* other) const;
    bool passesOver(Physical* object) const;
    std::vector<Damagable*> targetsInReach() const;
    bool strikeTargets();
    bool closeWindowOnTerrain(Window* window);
    void advance(const Window& window);
};
