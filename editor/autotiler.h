#pragma once
#include "core/types.h"

class BitGrid;
class Level;

// Turns every marked cell into the tile of the 4x4 group (its top-left tile at groupColumn,
// groupRow) that fits its marked neighbours, in the given layer, then clears the marks.
// Within a group, columns are: no horizontal neighbour, left end, middle, right end; rows are:
// no vertical neighbour, top edge, middle, bottom edge. A neighbour outside the grid counts as
// marked, so shapes run on past the level's edges.
void autotile(Level& level, BitGrid& marks, i32 layer, u8 groupColumn, u8 groupRow);

// The group's column (or row) offset for a cell with the given neighbours before and after it.
u8 autotileOffset(bool before, bool after);
