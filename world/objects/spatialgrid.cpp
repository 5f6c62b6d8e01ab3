#include "world/objects/spatialgrid.h"

#include <cstdio>
#include <utility>

namespace {

constexpr u16 GridFileVersion = 2;
constexpr u16 GridFileTag = 0x1001;

// How many steps of size step reach from start back to p (p < start).
u32 stepsBefore(i64 p, i64 start, i64 step)
{
    return u32((start - p + step - 1) / step);
}

// How many steps of size step beyond end reach p (p >= end).
u32 stepsAfter(i64 p, i64 end, i64 step)
{
    return u32((p - end) / step + 1);
}

bool writeU16(std::FILE* f, u16 v)
{
    const unsigned char bytes[2] = {u8(v & 0xFF), u8(v >> 8)};
    return std::fwrite(bytes, 1, 2, f) == 2;
}

} // namespace

SpatialGrid::SpatialGrid()
    : originX(-512), originY(-384), columns(8), rows(6), cellWidth(128), cellHeight(128), cells(8 * 6)
{
}

SpatialGrid::Cell* SpatialGrid::cellAt(i32 px, i32 py)
{
    const i64 dx = i64(px) - originX;
    const i64 dy = i64(py) - originY;
    if (dx < 0 || dy < 0)
        return nullptr;
    const i64 column = dx / cellWidth;
    const i64 row = dy / cellHeight;
    if (column >= columns || row >= rows)
        return nullptr;
    return &cells[size_t(row * columns + column)];
}

void SpatialGrid::grow(i32 addColumns, i32 addRows)
{
    const u32 moreColumns = u32(addColumns < 0 ? -i64(addColumns) : addColumns);
    const u32 moreRows = u32(addRows < 0 ? -i64(addRows) : addRows);
    const u32 leftPad = addColumns < 0 ? moreColumns : 0;
    const u32 topPad = addRows < 0 ? moreRows : 0;
    const u32 newColumns = columns + moreColumns;
    const u32 newRows = rows + moreRows;

    std::vector<Cell> grown(size_t(newColumns) * newRows);
    for (u32 r = 0; r < rows; ++r)
        for (u32 c = 0; c < columns; ++c)
            grown[size_t(r + topPad) * newColumns + c + leftPad] = std::move(cells[size_t(r) * columns + c]);
    cells = std::move(grown);
    columns = newColumns;
    rows = newRows;
    originX = i32(originX - i64(leftPad) * cellWidth);
    originY = i32(originY - i64(topPad) * cellHeight);
}

void SpatialGrid::cover(i32 px, i32 py)
{
    const i64 right = originX + i64(columns) * cellWidth;
    const i64 bottom = originY + i64(rows) * cellHeight;
    i32 addColumns = 0;
    i32 addRows = 0;
    if (px < originX)
        addColumns = -i32(stepsBefore(px, originX, cellWidth));
    else if (px >= right)
        addColumns = i32(stepsAfter(px, right, cellWidth));
    if (py < originY)
        addRows = -i32(stepsBefore(py, originY, cellHeight));
    else if (py >= bottom)
        addRows = i32(stepsAfter(py, bottom, cellHeight));
    if (addColumns != 0 || addRows != 0)
        grow(addColumns, addRows);
}

bool SpatialGrid::save(const std::string& fileName) const
{
    std::FILE* f = std::fopen(fileName.c_str(), "wb");
    if (!f)
        return false;
    const bool written = writeU16(f, GridFileVersion) && writeU16(f, GridFileTag);
    return std::fclose(f) == 0 && written;
}
