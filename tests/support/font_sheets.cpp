#include "tests/support/font_sheets.h"

#include <SDL/SDL.h>
#include <filesystem>

namespace font_sheets {

namespace {

const char* sheetName(Sheet sheet)
{
    switch (sheet) {
    case LargeIce: return "resource/f_ice.gif";
    case LargeOrange: return "resource/f_orange.gif";
    case SmallIce: return "resource/fs_ice.gif";
    case SmallOrange: return "resource/fs_orange.gif";
    case SmallBlack: return "resource/fs_black.gif";
    }
    return "";
}

bool isLarge(Sheet sheet)
{
    return sheet == LargeIce || sheet == LargeOrange;
}

} // namespace

// Never black or white, so neither colour key hides a pixel.
u32 sheetPixel(Sheet sheet, int x, int y)
{
    return u32(sheet) << 20 | u32(y) << 8 | u32(x);
}

void writeSheet(Sheet sheet)
{
    std::filesystem::create_directories("resource");
    int w = isLarge(sheet) ? 128 : 80, h = isLarge(sheet) ? 84 : 36;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            static_cast<u32*>(s->pixels)[y * (s->pitch / 4) + x] = sheetPixel(sheet, x, y);
    SDL_SaveBMP(s, sheetName(sheet));
    SDL_FreeSurface(s);
}

void writeAllSheets()
{
    for (Sheet sheet : {LargeIce, LargeOrange, SmallIce, SmallOrange, SmallBlack})
        writeSheet(sheet);
}

u32 largeGlyphPixel(Sheet sheet, u16 code, int dx, int dy)
{
    int cx = 120, cy = 70;
    if (code >= 32 && code <= 126) {
        cx = (code & 15) * 8;
        cy = (code >> 4) * 14 - 28;
    }
    return sheetPixel(sheet, cx + dx, cy + dy);
}

}
