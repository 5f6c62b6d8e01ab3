#pragma once
#include "core/types.h"

#include <string>
#include <vector>

class Physical;

// A grid of square cells over the world that can file objects by place. It grows on any side to
// cover a point; points outside it belong to no cell.
class SpatialGrid {
public:
    // Each cell keeps its objects in three lists.
    enum List : u8 {
        ListTerrain = 0,     // blocks
        ListCharacters = 1,  // things that can be hurt
        ListOthers = 2,      // everything else
        ListCount = 3
    };
    struct Cell {
        std::vector<Physical*> lists[ListCount];
    };

    SpatialGrid();

    // The cell containing the point; null outside the grid.
    Cell* cellAt(i32 px, i32 py);
    // Adds columns and rows: negative counts add them on the left or top, moving the origin.
    void grow(i32 addColumns, i32 addRows);
    // Grows the grid just enough for the point to lie inside it.
    void cover(i32 px, i32 py);
    // Writes the grid's file header; false when the file cannot be written.
    bool save(const std::string& fileName) const;

    i32 originX;
    i32 originY;
    u32 columns;
    u32 rows;
    u32 cellWidth;
    u32 cellHeight;

private:
    std::vector<Cell> cells;  // row by row
};
