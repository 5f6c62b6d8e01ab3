#include "editor/bitgrid.h"

#include "core/draw.h"

#include <algorithm>

BitGrid::BitGrid(u16 width, u16 height)
    : columns(width), rows(height), bits((size_t(width) * height + 7) / 8, 0)
{
}

void BitGrid::set(i32 x, i32 y, bool value)
{
    if (!inside(x, y))
        return;
    size_t i = bitIndex(x, y);
    u8 mask = u8(1u << (i % 8));
    if (value)
        bits[i / 8] |= mask;
    else
        bits[i / 8] &= u8(~mask);
}

bool BitGrid::get(i32 x, i32 y, bool outside) const
{
    if (!inside(x, y))
        return outside;
    size_t i = bitIndex(x, y);
    return (bits[i / 8] >> (i % 8)) & 1;
}

void BitGrid::clear()
{
    std::fill(bits.begin(), bits.end(), u8(0));
}

bool BitGrid::any() const
{
    return std::any_of(bits.begin(), bits.end(), [](u8 b) { return b != 0; });
}

void BitGrid::draw(SDL_Surface* destination, i32 x0, i32 y0, SDL_Surface* image, u8 cellWidth,
                   u8 cellHeight) const
{
    if (!destination || !image || !any())
        return;
    for (i32 y = 0; y < rows; ++y) {
        i32 top = y0 + y * cellHeight;
        // Far-off cells are skipped before their position is narrowed to the blitter's 16 bits.
        if (top >= destination->h || top + image->h <= 0)
            continue;
        for (i32 x = 0; x < columns; ++x) {
            i32 left = x0 + x * cellWidth;
            if (left >= destination->w || left + image->w <= 0 || !get(x, y, false))
                continue;
            blitSurface(i16(left), i16(top), image, destination, nullptr);
        }
    }
}
