#include "core/textblock.h"

#include "core/font.h"

#include <algorithm>

TextBlock::TextBlock(SDL_Rect area, SPFont* font, std::u16string text) : fontUsed(font), box(area)
{
    if (font) {
        perLine = u16(area.w / font->charWidth());
        perPage = u16(area.h / font->lineHeight());
    }
    setText(std::move(text));
}

void TextBlock::setText(std::u16string text)
{
    wrapped.clear();
    pages = 0;
    if (perLine == 0 || perPage == 0)
        return;
    text.push_back(u'\n');
    std::replace(text.begin(), text.end(), u'\r', u' ');
    size_t at = 0;  // the unwrapped rest of the text starts here
    while (at < text.size()) {
        while (at < text.size() && text[at] == u' ')
            ++at;
        if (at == text.size())
            break;
        size_t window = std::min<size_t>(perLine, text.size() - at);
        size_t breakPos = perLine;
        char16_t last = 0;
        for (size_t i = 0; i < window; ++i) {
            last = text[at + i];
            if (last == u' ')
                breakPos = i;
            if (last == u'\n') {
                breakPos = i;
                break;
            }
        }
        wrapped.push_back(text.substr(at, breakPos));
        at += breakPos + ((last == u' ' || last == u'\n') ? 1 : 0);
    }
    pages = u16(wrapped.size() / perPage + (wrapped.size() % perPage ? 1 : 0));
}

std::pair<size_t, size_t> TextBlock::pageLines(u16 page) const
{
    if (perPage == 0)
        return {0, 0};
    size_t first = size_t(page) * perPage;
    if (first >= wrapped.size())
        return {0, 0};
    return {first, std::min(wrapped.size(), first + perPage)};
}

i32 TextBlock::referenceX(u8 alignment) const
{
    if (alignment == 1)
        return box.x + (box.w >> 1);
    if (alignment == 2)
        return box.x + box.w;
    return box.x;
}

void TextBlock::drawLine(SDL_Surface* dst, const std::u16string& line, i32 y, u8 alignment)
{
    if (y > 32767 || y < -32768)
        return;
    i32 x = std::clamp<i32>(referenceX(alignment), -32768, 32767);
    drawString(fontUsed, dst, i16(x), i16(y), line, alignment);
}

void TextBlock::draw(SDL_Surface* dst, u8 alignment)
{
    if (!fontUsed)
        return;
    i32 y = box.y;
    for (const auto& line : wrapped) {
        drawLine(dst, line, y, alignment);
        y += fontUsed->lineHeight();
    }
}

void TextBlock::drawPage(SDL_Surface* dst, u8 alignment, u16 page, u16 count)
{
    if (!fontUsed || count == 0)
        return;
    auto [first, end] = pageLines(page);
    i32 remaining = count;
    i32 y = box.y;
    for (size_t i = first; i < end; ++i) {
        const std::u16string& line = wrapped[i];
        remaining -= i32(line.size());
        if (remaining < 0) {
            drawLine(dst, line.substr(0, line.size() + remaining), y, alignment);
            return;
        }
        drawLine(dst, line, y, alignment);
        y += fontUsed->lineHeight();
    }
}

u16 TextBlock::charAt(u16 page, u16 position) const
{
    i32 remaining = i16(position);
    if (remaining < 0)
        return u'?';
    auto [first, end] = pageLines(page);
    for (size_t i = first; i < end; ++i) {
        if (remaining < i32(wrapped[i].size()))
            return wrapped[i][size_t(remaining)];
        remaining -= i32(wrapped[i].size());
    }
    return u'?';
}

u16 TextBlock::pageLength(u16 page) const
{
    auto [first, end] = pageLines(page);
    size_t total = 0;
    for (size_t i = first; i < end; ++i)
        total += wrapped[i].size();
    return u16(total);
}

u16 TextBlock::lineLength(u16 line) const
{
    return line < wrapped.size() ? u16(wrapped[line].size()) : 0;
}

void TextBlock::setPosition(i16 x, i16 y)
{
    box.x = x;
    box.y = y;
}
