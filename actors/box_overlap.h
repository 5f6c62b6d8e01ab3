#pragma once
#include "world/physical.h"

// Strict overlap of two boxes: boxes that only share an edge do not overlap.
inline bool boxesOverlap(const Physical& a, const Physical& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// The centre of a box, halves rounded toward zero.
inline i32 centreX(const Physical& p)
{
    return p.x + p.w / 2;
}

inline i32 centreY(const Physical& p)
{
    return p.y + p.h / 2;
}
