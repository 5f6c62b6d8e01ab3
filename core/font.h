#pragma once
#include "core/types.h"

#include <SDL/SDL.h>
#include <string>

// A fixed-pitch bitmap font: one glyph sheet of 16 cells a row holding the codes 32..127.
// Any code outside 32..126 draws the cell of 127, the replacement glyph.
class SPFont {
public:
    virtual void drawChar(SDL_Surface* dst, i16 x, i16 y, u16 code);
    virtual ~SPFont() = default;
    virtual u16 charWidth();
    virtual u16 lineHeight();

    // The cell of the character drawn last.
    const SDL_Rect& glyphRect() const { return glyph; }
    // The sheet belongs to the media cache; null when it failed to load (then nothing draws).
    SDL_Surface* sheet() const { return image; }

protected:
    SPFont() = default;
    SPFont(SDL_Surface* sheet, u16 cellW, u16 cellH);
    // Picks the character's cell and blits it; replacementX/Y locate the cell of code 127.
    void drawCell(SDL_Surface* dst, i16 x, i16 y, u16 code, i16 replacementX, i16 replacementY);

    SDL_Surface* image = nullptr;
    SDL_Rect glyph = {0, 0, 0, 0};
};

// The large 8x14 font: style 1 orange, every other style ice blue.
class SPF_CoGra : public SPFont {
public:
    explicit SPF_CoGra(i8 style);
    void drawChar(SDL_Surface* dst, i16 x, i16 y, u16 code) override;
    u16 charWidth() override;
    u16 lineHeight() override;
};

// The small 5x6 font: style 1 orange, 3 black, every other style ice blue.
class SPF_Small : public SPFont {
public:
    explicit SPF_Small(u8 style);
    void drawChar(SDL_Surface* dst, i16 x, i16 y, u16 code) override;
    u16 charWidth() override;
    u16 lineHeight() override;
};

// Which sheet each style uses.
std::string largeFontSheet(i8 style);
std::string smallFontSheet(u8 style);

// One line of text; alignment 0 left from x, 1 centred on x, 2 right-aligned ending at x.
void drawString(SPFont* font, SDL_Surface* dst, i16 x, i16 y, const std::u16string& text, u8 alignment);
// The x at which a line of `length` characters starts for the given alignment.
i32 alignedStart(i32 x, u32 length, u16 charWidth, u8 alignment);
