#include "core/font.h"

#include "core/draw.h"
#include "core/media.h"

#include <limits>

namespace {

constexpr u16 LargeW = 8, LargeH = 14;
constexpr u16 SmallW = 5, SmallH = 6;

SDL_Surface* loadSheet(const std::string& name, u8 keyLevel)
{
    return loadGraphic(name, true, keyLevel, keyLevel, keyLevel, true);
}

} // namespace

SPFont::SPFont(SDL_Surface* sheet, u16 cellW, u16 cellH) : image(sheet), glyph{0, 0, cellW, cellH} {}

void SPFont::drawChar(SDL_Surface*, i16, i16, u16) {}

u16 SPFont::charWidth()
{
    return 1;
}

u16 SPFont::lineHeight()
{
    return 1;
}

void SPFont::drawCell(SDL_Surface* dst, i16 x, i16 y, u16 code, i16 replacementX, i16 replacementY)
{
    if (u16(code - 32) > 94) {
        glyph.x = replacementX;
        glyph.y = replacementY;
    } else {
        glyph.x = i16((code & 15) * glyph.w);
        glyph.y = i16((code >> 4) * glyph.h - 2 * glyph.h);
    }
    blitSurface(x, y, image, dst, &glyph);
}

std::string largeFontSheet(i8 style)
{
    return style == 1 ? "resource/f_orange.gif" : "resource/f_ice.gif";
}

std::string smallFontSheet(u8 style)
{
    switch (style) {
    case 1: return "resource/fs_orange.gif";
    case 3: return "resource/fs_black.gif";
    default: return "resource/fs_ice.gif";
    }
}

SPF_CoGra::SPF_CoGra(i8 style) : SPFont(loadSheet(largeFontSheet(style), 0), LargeW, LargeH) {}

void SPF_CoGra::drawChar(SDL_Surface* dst, i16 x, i16 y, u16 code)
{
    drawCell(dst, x, y, code, 120, 70);
}

u16 SPF_CoGra::charWidth()
{
    return LargeW;
}

u16 SPF_CoGra::lineHeight()
{
    return LargeH;
}

// The black small font is drawn on light backgrounds, so its sheet's background is white.
SPF_Small::SPF_Small(u8 style)
    : SPFont(loadSheet(smallFontSheet(style), style == 3 ? 255 : 0), SmallW, SmallH)
{
}

void SPF_Small::drawChar(SDL_Surface* dst, i16 x, i16 y, u16 code)
{
    drawCell(dst, x, y, code, 75, 30);
}

u16 SPF_Small::charWidth()
{
    return SmallW;
}

u16 SPF_Small::lineHeight()
{
    return SmallH;
}

i32 alignedStart(i32 x, u32 length, u16 charWidth, u8 alignment)
{
    i32 width = i32(length * charWidth);
    if (alignment == 1)
        return x - (width >> 1);
    if (alignment == 2)
        return x - width;
    return x;
}

void drawString(SPFont* font, SDL_Surface* dst, i16 x, i16 y, const std::u16string& text, u8 alignment)
{
    if (!font)
        return;
    u16 w = font->charWidth();
    i32 at = alignedStart(x, u16(text.size()), w, alignment);
    for (char16_t c : text) {
        // Characters past the 16-bit coordinate range can never be on a surface.
        if (at > std::numeric_limits<i16>::max())
            return;
        if (at >= std::numeric_limits<i16>::min())
            font->drawChar(dst, i16(at), y, u16(c));
        at += w;
    }
}
