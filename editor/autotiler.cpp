#include "editor/autotiler.h"

#include "editor/bitgrid.h"
#include "world/level.h"

u8 autotileOffset(bool before, bool after)
{
    if (before && after)
        return 2;
    if (after)
        return 1;
    if (before)
        return 3;
    return 0;
}

void autotile(Level& level, BitGrid& marks, i32 layer, u8 groupColumn, u8 groupRow)
{
    // The marks are only read during the pass, so the order of the cells does not matter.
    for (i32 y = 0; y < marks.height(); ++y) {
        for (i32 x = 0; x < marks.width(); ++x) {
            if (!marks.get(x, y, false))
                continue;
            u8 h = autotileOffset(marks.get(x - 1, y, true), marks.get(x + 1, y, true));
            u8 v = autotileOffset(marks.get(x, y - 1, true), marks.get(x, y + 1, true));
            level.setTile(x, y, layer, u8((groupRow + v) * 16 + groupColumn + h));
        }
    }
    marks.clear();
}
