#pragma once
#include "core/types.h"

class Physical;

// The comparisons by which terrain tightens a mover's limits. b is the block, m the mover;
// each rule writes the limit and answers true only when all of its conditions hold.
namespace blockrules {

bool flatFloor(const Physical& b, const Physical& m, i32* limit);
// Unlike the flat floor it also holds a limit that already equals the top; a mover coming up
// from beneath is not held.
bool platformFloor(const Physical& b, const Physical& m, i32* limit);
bool flatCeiling(const Physical& b, const Physical& m, i32* limit);
bool flatWallOnLeft(const Physical& b, const Physical& m, i32* limit);
bool flatWallOnRight(const Physical& b, const Physical& m, i32* limit);
// Slopes catch a mover up to this many pixels below the surface and lift it.
constexpr i32 SlopeCatch = 6;
bool leftSlopeFloor(const Physical& b, const Physical& m, i32* limit);
bool rightSlopeFloor(const Physical& b, const Physical& m, i32* limit);
bool leftSlopeSide(const Physical& b, const Physical& m, i32* limit, bool onGround);
bool rightSlopeSide(const Physical& b, const Physical& m, i32* limit, bool onGround);

} // namespace blockrules
