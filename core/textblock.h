#pragma once
#include "core/types.h"

#include <SDL/SDL.h>
#include <string>
#include <utility>
#include <vector>

class SPFont;

// A text word-wrapped into a box and divided into pages of whole lines. Page positions count
// the characters of the page's lines one after another, nothing for the line breaks.
// A box narrower than one character or lower than one line holds no lines and no pages.
class TextBlock {
public:
    TextBlock() = default;  // a placeholder until a wrapped block is assigned over it
    TextBlock(SDL_Rect area, SPFont* font, std::u16string text);

    void setText(std::u16string text);
    void draw(SDL_Surface* dst, u8 alignment);
    // Draws the first `count` characters of the page; a line being revealed is aligned by the
    // width of its visible part.
    void drawPage(SDL_Surface* dst, u8 alignment, u16 page, u16 count);
    // The character at a position of the page, or '?' when there is none.
    u16 charAt(u16 page, u16 position) const;
    u16 pageLength(u16 page) const;

    u16 pageCount() const { return pages; }
    u16 linesPerPage() const { return perPage; }
    u16 charsPerLine() const { return perLine; }
    u16 lineCount() const { return u16(wrapped.size()); }
    u16 lineLength(u16 line) const;
    const std::vector<std::u16string>& lines() const { return wrapped; }
    SPFont* font() const { return fontUsed; }
    void setPosition(i16 x, i16 y);

private:
    // The index range [first, end) of the page's lines; empty for a page that does not exist.
    std::pair<size_t, size_t> pageLines(u16 page) const;
    i32 referenceX(u8 alignment) const;
    void drawLine(SDL_Surface* dst, const std::u16string& line, i32 y, u8 alignment);

    SPFont* fontUsed = nullptr;
    std::vector<std::u16string> wrapped;
    u16 perLine = 0;
    u16 perPage = 0;
    u16 pages = 0;
    SDL_Rect box = {0, 0, 0, 0};
};
