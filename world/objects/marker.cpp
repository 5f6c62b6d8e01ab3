#include "world/objects/marker.h"

#include "world/interfaces.h"
#include "world/systphysical.h"

namespace {

// One axis of a probe: the box's place and size along it, and the two hit tests that face it.
struct Axis {
    i32 Physical::*place;
    i32 Physical::*size;
    bool (Block::*forward)(Physical*, i32*, bool);   // stops a box moving toward greater places
    bool (Block::*backward)(Physical*, i32*, bool);  // stops a box moving toward smaller places
};

constexpr Axis Vertical{&Physical::y, &Physical::h, &Block::hitFloor, &Block::hitCeiling};
constexpr Axis Sideways{&Physical::x, &Physical::w, &Block::hitWallRight, &Block::hitWallLeft};

// The box is set back by its own size and moved forward into the block, then set beyond it and
// moved back into it; a limit that cuts into the box's place means the block is in the way.
// Both tests are always asked, the forward one first, and the box ends where it started.
bool blockedAlong(Physical& box, const Axis& axis, Block* block, bool onGround)
{
    i32& place = box.*axis.place;
    const i32 size = box.*axis.size;
    const i32 start = place;
    const i32 end = start + size;

    i32 forwardLimit = end;
    place = start - size;
    bool blocked = (block->*axis.forward)(&box, &forwardLimit, onGround) && forwardLimit < end;

    i32 backwardLimit = start;
    place = start + size;
    blocked = ((block->*axis.backward)(&box, &backwardLimit, onGround) && start < backwardLimit) || blocked;

    place = start;
    return blocked;
}

} // namespace

void Marker::setBox(i32 boxX, i32 boxY, u16 boxW, u16 boxH)
{
    x = boxX;
    y = boxY;
    w = boxW;
    h = boxH;
}

bool Marker::isBlocked(SystPhysical* system, bool onGround)
{
    for (Block* block = system->firstIn<Block>(); system->hasMoreInCategory(); block = system->nextIn<Block>()) {
        if (!overlaps(*system->currentInCategory()))
            continue;
        if (blockedAlong(*this, Vertical, block, onGround) || blockedAlong(*this, Sideways, block, onGround))
            return true;
    }
    return false;
}

bool Marker::overlaps(const Physical& other) const
{
    return other.x < x + w && other.y < y + h && x < other.x + other.w && y < other.y + other.h;
}
