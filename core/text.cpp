#include "core/text.h"

#include "core/font.h"

void drawLines(SPFont* font, SDL_Surface* dst, i16 x, i16 y, const std::u16string& text, u8 alignment)
{
    if (!font)
        return;
    i32 h = font->lineHeight();
    i32 lineY = y;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(u'\n', start);
        std::u16string line = text.substr(start, end == std::u16string::npos ? end : end - start);
        if (!line.empty() && lineY <= 32767)
            drawString(font, dst, x, i16(lineY), line, alignment);
        if (end == std::u16string::npos)
            return;
        start = end + 1;
        lineY += h;
    }
}

std::u16string toWideString(const std::string& s)
{
    std::u16string wide;
    wide.reserve(s.size());
    for (char c : s) {
        if (c == 0)
            break;
        wide.push_back(char16_t(u8(c)));
    }
    return wide;
}

std::string toNarrowString(const std::u16string& w)
{
    std::string narrow;
    narrow.reserve(w.size());
    for (char16_t c : w) {
        if ((c & 0xFF) == 0)
            break;
        narrow.push_back(char(c & 0xFF));
    }
    return narrow;
}

std::string shortToString(i16 v)
{
    return std::to_string(v);
}

std::string ushortToString(u16 v)
{
    return std::to_string(v);
}
