#pragma once
#include "core/types.h"

#include <string>

// Writes stand-in glyph sheets under "resource/" of the working directory (use a ScratchDir).
// Every pixel of a sheet is distinct: sheetPixel(sheet, x, y) names the sheet and the position,
// so a test can tell which glyph cell a drawn pixel came from.
namespace font_sheets {

enum Sheet : u32 {
    LargeIce = 1,     // "resource/f_ice.gif", 128x84
    LargeOrange = 2,  // "resource/f_orange.gif"
    SmallIce = 3,     // "resource/fs_ice.gif", 80x36
    SmallOrange = 4,  // "resource/fs_orange.gif"
    SmallBlack = 5,   // "resource/fs_black.gif"
};

u32 sheetPixel(Sheet sheet, int x, int y);
void writeSheet(Sheet sheet);
void writeAllSheets();
// The colour of the large-font pixel for character `code` at (dx, dy) inside its cell.
u32 largeGlyphPixel(Sheet sheet, u16 code, int dx = 0, int dy = 0);

}
