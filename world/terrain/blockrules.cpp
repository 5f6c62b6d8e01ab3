#include "world/terrain/blockrules.h"

#include "world/physical.h"

#include <algorithm>

namespace blockrules {
namespace {

bool overlapsHorizontally(const Physical& b, const Physical& m)
{
    return m.x < b.x + b.w && m.x + m.w > b.x;
}

bool overlapsVertically(const Physical& b, const Physical& m)
{
    return m.y < b.y + b.h && m.y + m.h > b.y;
}

} // namespace

bool flatFloor(const Physical& b, const Physical& m, i32* limit)
{
    if (!overlapsHorizontally(b, m) || m.y + m.h > b.y || *limit <= b.y)
        return false;
    *limit = b.y;
    return true;
}

bool platformFloor(const Physical& b, const Physical& m, i32* limit)
{
    if (!overlapsHorizontally(b, m) || m.y + m.h > b.y || *limit < b.y)
        return false;
    *limit = b.y;
    return true;
}

bool flatCeiling(const Physical& b, const Physical& m, i32* limit)
{
    i32 bottom = b.y + b.h;
    if (!overlapsHorizontally(b, m) || m.y < bottom || *limit >= bottom)
        return false;
    *limit = bottom;
    return true;
}

bool flatWallOnLeft(const Physical& b, const Physical& m, i32* limit)
{
    i32 right = b.x + b.w;
    if (!overlapsVertically(b, m) || m.x < right || *limit >= right)
        return false;
    *limit = right;
    return true;
}

bool flatWallOnRight(const Physical& b, const Physical& m, i32* limit)
{
    if (!overlapsVertically(b, m) || m.x + m.w > b.x || *limit <= b.x)
        return false;
    *limit = b.x;
    return true;
}

bool leftSlopeFloor(const Physical& b, const Physical& m, i32* limit)
{
    // High at the block's left edge, measured at the mover's left edge.
    i32 surface = b.y + std::max(0, m.x - b.x);
    if (!overlapsHorizontally(b, m) || m.y + m.h > surface + SlopeCatch || *limit <= surface)
        return false;
    *limit = surface;
    return true;
}

bool rightSlopeFloor(const Physical& b, const Physical& m, i32* limit)
{
    // High at the block's right edge, measured at the mover's right edge.
    i32 surface = b.y + std::max(0, b.x + b.w - (m.x + m.w));
    if (!overlapsHorizontally(b, m) || m.y + m.h > surface + SlopeCatch || *limit <= surface)
        return false;
    *limit = surface;
    return true;
}

bool leftSlopeSide(const Physical& b, const Physical& m, i32* limit, bool onGround)
{
    // A walker goes up the slope through the floor test instead.
    if (onGround)
        return false;
    i32 wallX = b.x + b.w - std::max(0, b.y + b.h - (m.y + m.h));
    if (!overlapsVertically(b, m) || m.x + m.w < wallX + SlopeCatch || *limit >= wallX)
        return false;
    *limit = wallX;
    return true;
}

bool rightSlopeSide(const Physical& b, const Physical& m, i32* limit, bool onGround)
{
    if (onGround)
        return false;
    i32 wallX = b.x + std::max(0, b.y + b.h - (m.y + m.h));
    if (!overlapsVertically(b, m) || m.x > wallX - SlopeCatch || *limit <= wallX)
        return false;
    *limit = wallX;
    return true;
}

} // namespace blockrules
