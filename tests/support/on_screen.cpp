#include "tests/support/on_screen.h"

namespace {

constexpr u32 Unpainted = 0x00010203;  // no glyph sheet holds this colour

u32 at(SDL_Surface* s, int x, int y)
{
    return static_cast<const u32*>(s->pixels)[y * (s->pitch / 4) + x];
}

// Counts the pixels compared and remembers the first that differed.
struct Tally {
    int painted = 0, wrong = 0, firstX = -1, firstY = -1;

    void check(int x, int y, bool same)
    {
        ++painted;
        if (!same && wrong++ == 0) {
            firstX = x;
            firstY = y;
        }
    }
    ::testing::AssertionResult result(const char* what) const
    {
        if (painted == 0)
            return ::testing::AssertionFailure() << "the " << what << " puts down no pixel";
        if (wrong != 0)
            return ::testing::AssertionFailure() << wrong << " of " << painted << " " << what
                                                 << " pixels differ, the first at (" << firstX << ", " << firstY << ")";
        return ::testing::AssertionSuccess();
    }
};

} // namespace

::testing::AssertionResult showsText(SDL_Surface* screen, SPFont* font, i16 x, i16 y, const std::u16string& text,
                                     u8 alignment)
{
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* alone =
        SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, 32, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    SDL_FillRect(alone, nullptr, Unpainted);
    drawString(font, alone, x, y, text, alignment);
    Tally tally;
    SDL_LockSurface(screen);
    for (int py = 0; py < alone->h; ++py)
        for (int px = 0; px < alone->w; ++px)
            if (at(alone, px, py) != Unpainted)
                tally.check(px, py, at(screen, px, py) == at(alone, px, py));
    SDL_UnlockSurface(screen);
    SDL_FreeSurface(alone);
    return tally.result("text");
}

::testing::AssertionResult showsCell(SDL_Surface* screen, SDL_Surface* sheet, SDL_Rect cell, i32 x, i32 y,
                                     bool mirrored, const u32* silhouette)
{
    if (!sheet || sheet->format->BitsPerPixel != 32)
        return ::testing::AssertionFailure() << "no 32-bit sheet";
    const bool keyed = (sheet->flags & SDL_SRCCOLORKEY) != 0;
    Tally tally;
    SDL_LockSurface(sheet);
    SDL_LockSurface(screen);
    for (int dy = 0; dy < cell.h; ++dy) {
        for (int dx = 0; dx < cell.w; ++dx) {
            const u32 source = at(sheet, cell.x + (mirrored ? cell.w - 1 - dx : dx), cell.y + dy);
            if (keyed && source == sheet->format->colorkey)
                continue;
            const u32 shown = at(screen, x + dx, y + dy), expected = silhouette ? *silhouette : source;
            tally.check(x + dx, y + dy, ((shown ^ expected) & 0xFFFFFF) == 0);  // alpha aside
        }
    }
    SDL_UnlockSurface(screen);
    SDL_UnlockSurface(sheet);
    return tally.result("cell");
}
