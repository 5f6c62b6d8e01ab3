#include "world/objects/marker.h"

#include "world/interfaces.h"
#include "world/systphysical.h"

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
        if (blockedVertically(block, onGround) || blockedSideways(block, onGround))
            return true;
    }
    return false;
}

bool Marker::overlaps(const Physical& other) const
{
    return other.x < x + w && other.y < y + h && x < other.x + other.w && y < other.y + other.h;
}

// The box is lifted by its own height and dropped onto the block, then pushed up into it from
// beneath; a limit that cuts into the box's place means the block is in the way.
bool Marker::blockedVertically(Block* block, bool onGround)
{
    const i32 startY = y;
    const i32 startBottom = y + h;

    i32 floor = startBottom;
    y = startY - h;
    bool blocked = block->hitFloor(this, &floor, onGround) && floor < startBottom;

    i32 ceiling = startY;
    y = startY + h;
    blocked = (block->hitCeiling(this, &ceiling, onGround) && startY < ceiling) || blocked;

    y = startY;
    return blocked;
}

bool Marker::blockedSideways(Block* block, bool onGround)
{
    const i32 startX = x;
    const i32 startRight = x + w;

    i32 right = startRight;
    x = startX - w;
    bool blocked = block->hitWallRight(this, &right, onGround) && right < startRight;

    i32 left = startX;
    x = startX + w;
    blocked = (block->hitWallLeft(this, &left, onGround) && startX < left) || blocked;

    x = startX;
    return blocked;
}
