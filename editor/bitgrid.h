#pragma once
#include "core/types.h"

#include <SDL/SDL.h>
#include <vector>

// One bit per cell of a width x height grid, packed eight cells to a byte (the first cell in the
// least significant bit). The editor keeps its autotile marks in one.
class BitGrid {
public:
    BitGrid(u16 width, u16 height);

    // Cells outside the grid are ignored.
    void set(i32 x, i32 y, bool value);
    // A cell outside the grid answers `outside`.
    bool get(i32 x, i32 y, bool outside) const;
    void clear();
    bool any() const;
    // Blits the image at (x0 + x * cellWidth, y0 + y * cellHeight) for every set cell that can
    // show on the destination.
    void draw(SDL_Surface* destination, i32 x0, i32 y0, SDL_Surface* image, u8 cellWidth, u8 cellHeight) const;

    u16 width() const { return columns; }
    u16 height() const { return rows; }

private:
    bool inside(i32 x, i32 y) const { return x >= 0 && x < columns && y >= 0 && y < rows; }
    size_t bitIndex(i32 x, i32 y) const { return size_t(x) + size_t(columns) * size_t(y); }

    u16 columns;
    u16 rows;
    std::vector<u8> bits;
};
