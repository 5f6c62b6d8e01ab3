#pragma once
#include "core/types.h"
#include "world/physical.h"

// Capability interfaces mixed into Physical objects. The object system finds them with a
// dynamic_cast from Physical, so every derived class must keep them reachable (public, unique).

// Terrain that stops movers. A mover keeps four limits: the greatest y of its bottom edge (floor),
// the smallest y of its top edge (ceiling), the smallest x of its left edge and the greatest x of
// its right edge. A hit test may only tighten the limit it is handed and answers true when it set
// it. onGround matters only to the sloped sides of slope blocks.
class Block {
public:
    virtual ~Block() = default;
    virtual bool hitFloor(Physical* mover, i32* limit, bool onGround) { return false; }
    virtual bool hitCeiling(Physical* mover, i32* limit, bool onGround) { return false; }
    virtual bool hitWallLeft(Physical* mover, i32* limit, bool onGround) { return false; }
    virtual bool hitWallRight(Physical* mover, i32* limit, bool onGround) { return false; }
    // 0 flat, +4 rising to the left, -4 rising to the right.
    virtual i32 slopeCode() { return 0; }
    virtual i32 left() { return 0; }
    virtual i32 top() { return 0; }
    virtual i32 width() { return 0; }
    virtual i32 height() { return 0; }
    virtual i32 right() { return 0; }
    virtual i32 bottom() { return 0; }
    // Shots stop at solid blocks.
    virtual bool isSolid() { return false; }
};

// Things that can be hurt. kind is a bit set naming the source of the damage.
class Damagable {
public:
    virtual ~Damagable() = default;
    virtual void hurt(i16 amount, i32 kind) { health = i16(health - amount); }
    virtual i32 velX() { return 0; }
    virtual i32 velY() { return 0; }

    i16 health = 0;
};

// Creatures and players: a team and a dead flag that no hurt ever clears.
class Character : public Damagable {
public:
    void hurt(i16 amount, i32 kind) override;
    virtual bool isThreat() { return true; }
    virtual bool isDead() { return dead != 0; }

    u8 dead = 0;
    u8 team = 0;
};

// Bodies the heads-up display and the camera follow.
class Player {
public:
    virtual ~Player() = default;
    virtual float healthFraction() { return 0.0f; }
    virtual float secondBarFraction() { return 0.0f; }
    virtual i32 centerX() { return 0; }
    virtual i32 centerY() { return 0; }
};

// Bodies the boss fight reads.
class Boss {
public:
    virtual ~Boss() = default;
    virtual float healthFraction() { return 0.0f; }
    // Camera-shake amplitude; the boss fight sums it over all bosses.
    virtual u16 shakeAmount() { return 0; }
    virtual void activate() {}
    virtual bool isFinished() { return true; }
};

// Objects the boss fight triggers at its start (lock) and end (escape).
class Cued {
public:
    virtual ~Cued() = default;
    virtual void cueLock() {}
    virtual void cueEscape() {}
};

// A body that is also a solid rectangle of the terrain: its box answers the block's edges.
// Its hit tests stop nothing until a kind refines them.
template <class Body>
class BoxBlock : public Body, public Block {
public:
    using Body::Body;
    i32 left() override { return this->x; }
    i32 top() override { return this->y; }
    i32 width() override { return this->w; }
    i32 height() override { return this->h; }
    i32 right() override { return this->x + this->w; }
    i32 bottom() override { return this->y + this->h; }
    bool isSolid() override { return true; }
};

// A solid rectangle whose hit tests stop nothing; terrain classes refine them.
class PhysicalBlock : public BoxBlock<Physical> {
public:
    using BoxBlock::BoxBlock;
};

class PhysicalCharacter : public Physical, public Character {
public:
    using Physical::Physical;
};

class PhysicalDamagable : public Physical, public Damagable {
public:
    using Physical::Physical;
};

// A background layer; draws nothing by itself.
class Background : public Physical {
public:
    using Physical::Physical;
};
