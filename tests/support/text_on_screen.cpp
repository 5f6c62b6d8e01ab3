#include "tests/support/text_on_screen.h"

namespace {

constexpr u32 Unpainted = 0x00010203;  // no glyph sheet holds this colour

u32 at(SDL_Surface* s, int x, int y)
{
    return static_cast<const u32*>(s->pixels)[y * (s->pitch / 4) + x];
}

} // namespace

::testing::AssertionResult showsText(SDL_Surface* screen, SPFont* font, i16 x, i16 y, const std::u16string& text,
                                     u8 alignment)
{
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* alone =
        SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, 32, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    SDL_FillRect(alone, nullptr, Unpainted);
    drawString(font, alone, x, y, text, alignment);
    int painted = 0;
    int wrong = 0;
    int firstX = -1, firstY = -1;
    SDL_LockSurface(screen);
    for (int py = 0; py < alone->h; ++py) {
        for (int px = 0; px < alone->w; ++px) {
            if (at(alone, px, py) == Unpainted)
                continue;
            ++painted;
            if (at(screen, px, py) == at(alone, px, py))
                continue;
            if (wrong++ == 0) {
                firstX = px;
                firstY = py;
            }
        }
    }
    SDL_UnlockSurface(screen);
    SDL_FreeSurface(alone);
    if (painted == 0)
        return ::testing::AssertionFailure() << "the text puts down no pixel";
    if (wrong != 0)
        return ::testing::AssertionFailure() << wrong << " of " << painted << " text pixels differ, the first at ("
                                             << firstX << ", " << firstY << ")";
    return ::testing::AssertionSuccess();
}
