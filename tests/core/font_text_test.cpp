#include <gtest/gtest.h>

#include "tests/core/scratch_resources.h"
#include "tests/support/font_sheets.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/font.h"
#include "core/media.h"
#include "core/message.h"
#include "core/respack.h"
#include "core/text.h"
#include "core/textblock.h"

#include <vector>

namespace {

using namespace font_sheets;

// Fonts loaded from stand-in sheets in a scratch folder; the cache is emptied afterwards.
class Fonts : public ScratchResources {
protected:
    void SetUp() override
    {
        ScratchResources::SetUp();
        SDL_FillRect(backBuffer, nullptr, 0);
    }
    u32 at(int x, int y) { return getPixel(backBuffer, x, y); }
};

TEST_F(Fonts, CellLookup)
{
    writeAllSheets();
    SPF_CoGra large(0);
    struct Case {
        u16 code;
        i16 x, y;
    };
    for (Case c : {Case{65, 8, 28}, Case{126, 112, 70}, Case{32, 0, 0}, Case{9, 120, 70},
                   Case{127, 120, 70}, Case{233, 120, 70}, Case{0xFFFF, 120, 70}}) {
        large.drawChar(backBuffer, 0, 0, c.code);
        EXPECT_EQ(large.glyphRect().x, c.x) << c.code;
        EXPECT_EQ(large.glyphRect().y, c.y) << c.code;
        EXPECT_EQ(at(7, 13), sheetPixel(LargeIce, c.x + 7, c.y + 13)) << c.code;
    }
    SPF_Small small(0);
    small.drawChar(backBuffer, 50, 50, 48);
    EXPECT_EQ(small.glyphRect().x, 0);
    EXPECT_EQ(small.glyphRect().y, 6);
    EXPECT_EQ(at(54, 55), sheetPixel(SmallIce, 4, 11));
    EXPECT_EQ(at(55, 55), 0u);
    small.drawChar(backBuffer, 50, 50, 200);
    EXPECT_EQ(small.glyphRect().x, 75);
    EXPECT_EQ(small.glyphRect().y, 30);
}

TEST_F(Fonts, StylesPickTheirSheets)
{
    writeAllSheets();
    EXPECT_EQ(largeFontSheet(1), "resource/f_orange.gif");
    EXPECT_EQ(largeFontSheet(3), "resource/f_ice.gif");
    EXPECT_EQ(largeFontSheet(-1), "resource/f_ice.gif");
    EXPECT_EQ(smallFontSheet(1), "resource/fs_orange.gif");
    EXPECT_EQ(smallFontSheet(3), "resource/fs_black.gif");
    EXPECT_EQ(smallFontSheet(2), "resource/fs_ice.gif");

    SPF_CoGra orange(1);
    orange.drawChar(backBuffer, 0, 0, 'A');
    EXPECT_EQ(at(0, 0), largeGlyphPixel(LargeOrange, 'A'));
    SPF_Small black(3), ice(7);
    SDL_Surface* sheet = black.sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(sheet->format->colorkey, SDL_MapRGB(sheet->format, 255, 255, 255));
    ASSERT_NE(ice.sheet(), nullptr);
    EXPECT_EQ(ice.sheet()->format->colorkey, SDL_MapRGB(ice.sheet()->format, 0, 0, 0));
    // Fonts of one style share the cached sheet.
    SPF_Small again(3);
    EXPECT_EQ(again.sheet(), sheet);
}

TEST_F(Fonts, MissingSheetKeepsWidthsAndDrawsNothing)
{
    u32 before = messagesShownCount();
    SPF_CoGra large(1);
    EXPECT_EQ(large.sheet(), nullptr);
    // The message screen reporting it finds its own font missing as well.
    EXPECT_EQ(messagesShownCount(), before + 2);
    EXPECT_NE(lastMessageShown().find("resource/f_orange.gif"), std::string::npos);
    EXPECT_EQ(large.charWidth(), 8);
    EXPECT_EQ(large.lineHeight(), 14);
    drawString(&large, backBuffer, 0, 0, u"HELLO", 0);
    large.drawChar(backBuffer, 10, 10, 'Q');
    EXPECT_EQ(large.glyphRect().x, 8);
    EXPECT_EQ(large.glyphRect().y, 42);
    SPF_Small small(0);
    EXPECT_EQ(small.charWidth(), 5);
    EXPECT_EQ(small.lineHeight(), 6);
    EXPECT_EQ(getPixel(backBuffer, 0, 0), 0u);
}

TEST_F(Fonts, DrawStringAlignments)
{
    writeSheet(LargeIce);
    writeSheet(SmallIce);
    SPF_CoGra font(0);
    struct Case {
        u8 alignment;
        int first;
    };
    for (Case c : {Case{0, 100}, Case{1, 88}, Case{2, 76}, Case{9, 100}}) {
        SDL_FillRect(backBuffer, nullptr, 0);
        drawString(&font, backBuffer, 100, 20, u"ABC", c.alignment);
        EXPECT_EQ(at(c.first, 20), largeGlyphPixel(LargeIce, 'A')) << int(c.alignment);
        EXPECT_EQ(at(c.first + 8, 20), largeGlyphPixel(LargeIce, 'B')) << int(c.alignment);
        EXPECT_EQ(at(c.first + 16, 20), largeGlyphPixel(LargeIce, 'C')) << int(c.alignment);
        EXPECT_EQ(at(c.first - 1, 20), 0u);
        EXPECT_EQ(at(c.first + 24, 20), 0u);
    }
    // Odd widths centre on the truncated half.
    SDL_FillRect(backBuffer, nullptr, 0);
    SPF_Small small(0);
    drawString(&small, backBuffer, 100, 0, u"abc", 1);
    EXPECT_NE(at(93, 0), 0u);
    EXPECT_EQ(at(92, 0), 0u);
}

TEST_F(Fonts, DrawLinesMovesDownOneLineHeightPerNewline)
{
    writeSheet(LargeIce);
    SPF_CoGra font(0);
    drawLines(&font, backBuffer, 10, 10, u"A\n\nB\n", 0);
    EXPECT_EQ(at(10, 10), largeGlyphPixel(LargeIce, 'A'));
    EXPECT_EQ(at(10, 24), 0u);
    EXPECT_EQ(at(10, 38), largeGlyphPixel(LargeIce, 'B'));
    drawLines(&font, backBuffer, 200, 100, u"AB\nC", 2);
    EXPECT_EQ(at(184, 100), largeGlyphPixel(LargeIce, 'A'));
    EXPECT_EQ(at(192, 114), largeGlyphPixel(LargeIce, 'C'));
}

// A font that records what it is asked to draw.
struct RecordingFont : SPFont {
    struct Glyph {
        i16 x, y;
        char16_t code;
        bool operator==(const Glyph& o) const { return x == o.x && y == o.y && code == o.code; }
    };
    RecordingFont(u16 w, u16 h) : w(w), h(h) {}
    void drawChar(SDL_Surface*, i16 x, i16 y, u16 code) override { drawn.push_back({x, y, code}); }
    u16 charWidth() override { return w; }
    u16 lineHeight() override { return h; }
    std::u16string text() const
    {
        std::u16string s;
        for (auto& g : drawn)
            s.push_back(g.code);
        return s;
    }
    u16 w, h;
    std::vector<Glyph> drawn;
};

std::vector<std::u16string> wrap(u16 charsPerLine, const std::u16string& text)
{
    RecordingFont font(1, 1);
    return TextBlock({0, 0, charsPerLine, 10}, &font, text).lines();
}

TEST(TextWrap, BreaksAtTheLastSpaceOfALine)
{
    using Lines = std::vector<std::u16string>;
    EXPECT_EQ(wrap(10, u"abcde fghij klm"), (Lines{u"abcde", u"fghij klm"}));
    EXPECT_EQ(wrap(5, u"abcde fghij"), (Lines{u"abcde", u"fghij", u""}));
    EXPECT_EQ(wrap(5, u"abcdefghijkl"), (Lines{u"abcde", u"fghij", u"kl"}));
    EXPECT_EQ(wrap(20, u"one\n\n two"), (Lines{u"one", u"", u"two"}));
    EXPECT_EQ(wrap(20, u"one\r\ntwo"), (Lines{u"one ", u"two"}));
    EXPECT_EQ(wrap(5, u"ab  cdefgh"), (Lines{u"ab ", u"cdefg", u"h"}));
    EXPECT_EQ(wrap(20, u""), (Lines{u""}));
}

TEST(TextWrap, SpeechBoxAndPageCounts)
{
    RecordingFont font(8, 14);
    TextBlock box({66, 170, 188, 56}, &font, u"x");
    EXPECT_EQ(box.charsPerLine(), 23);
    EXPECT_EQ(box.linesPerPage(), 4);
    EXPECT_EQ(box.pageCount(), 1);

    RecordingFont unit(1, 1);
    TextBlock tall({0, 0, 5, 2}, &unit, u"aaaa bbbb cccc dddd eeee");
    EXPECT_EQ(tall.lineCount(), 5);
    EXPECT_EQ(tall.pageCount(), 3);
    EXPECT_EQ(tall.pageLength(2), 4);
    EXPECT_EQ(tall.pageLength(3), 0);
    EXPECT_EQ(tall.lineLength(4), 4);
    EXPECT_EQ(tall.lineLength(5), 0);

    tall.setText(u"ab");
    EXPECT_EQ(tall.lineCount(), 1);
    EXPECT_EQ(tall.pageCount(), 1);
}

TEST(TextWrap, BoxesSmallerThanOneCellHoldNothing)
{
    RecordingFont font(8, 14);
    TextBlock narrow({0, 0, 7, 100}, &font, u"some text");
    TextBlock low({0, 0, 100, 13}, &font, u"some text");
    for (TextBlock* b : {&narrow, &low}) {
        EXPECT_EQ(b->lineCount(), 0);
        EXPECT_EQ(b->pageCount(), 0);
        EXPECT_EQ(b->pageLength(0), 0);
        EXPECT_EQ(b->charAt(0, 0), u'?');
        b->drawPage(nullptr, 0, 0, 5);
        b->draw(nullptr, 0);
    }
    EXPECT_TRUE(font.drawn.empty());

    TextBlock placeholder;
    EXPECT_EQ(placeholder.pageCount(), 0);
    EXPECT_EQ(placeholder.charAt(0, 0), u'?');
    placeholder.drawPage(nullptr, 0, 0, 3);
}

TEST(TextWrap, CharAtWalksThePageAndNeverLeavesIt)
{
    RecordingFont font(1, 1);
    TextBlock b({0, 0, 4, 2}, &font, u"abc defg hij");
    ASSERT_EQ(b.lineCount(), 3);
    std::u16string page;
    for (u16 i = 0; i < 7; ++i)
        page.push_back(b.charAt(0, i));
    EXPECT_EQ(page, u"abcdefg");
    EXPECT_EQ(b.charAt(0, 7), u'?');
    EXPECT_EQ(b.charAt(1, 0), u'h');
    EXPECT_EQ(b.charAt(1, 3), u'?');
    EXPECT_EQ(b.charAt(2, 0), u'?');
    EXPECT_EQ(b.charAt(0, 0xFFFF), u'?');  // position -1
    EXPECT_EQ(b.charAt(0, 0x8000), u'?');
    EXPECT_EQ(b.charAt(0xFFFF, 0), u'?');
    EXPECT_EQ(b.pageLength(0), 7);
    EXPECT_EQ(b.pageLength(0x8000), 0);
}

TEST(TextWrap, PartialPageReveal)
{
    RecordingFont font(8, 14);
    TextBlock b({100, 50, 32, 28}, &font, u"abc defg hij");
    b.drawPage(nullptr, 0, 0, 5);
    EXPECT_EQ(font.text(), u"abcde");
    EXPECT_EQ(font.drawn[3], (RecordingFont::Glyph{100, 64, u'd'}));

    // A centred line grows from the middle as it is revealed.
    font.drawn.clear();
    b.drawPage(nullptr, 1, 0, 5);
    EXPECT_EQ(font.drawn[0], (RecordingFont::Glyph{104, 50, u'a'}));
    EXPECT_EQ(font.drawn[3], (RecordingFont::Glyph{108, 64, u'd'}));

    font.drawn.clear();
    b.drawPage(nullptr, 2, 1, 100);
    EXPECT_EQ(font.drawn, (std::vector<RecordingFont::Glyph>{{108, 50, u'h'}, {116, 50, u'i'}, {124, 50, u'j'}}));

    font.drawn.clear();
    b.drawPage(nullptr, 0, 0, 0);
    b.drawPage(nullptr, 0, 7, 10);
    EXPECT_TRUE(font.drawn.empty());

    // A count above 32767 is still a count, not a negative number.
    b.drawPage(nullptr, 0, 0, 40000);
    EXPECT_EQ(font.text(), u"abcdefg");

    font.drawn.clear();
    b.draw(nullptr, 2);
    ASSERT_EQ(font.text(), u"abcdefghij");
    EXPECT_EQ(font.drawn.back(), (RecordingFont::Glyph{124, 78, u'j'}));
}

TEST(TextConversions, WideNarrowAndNumbers)
{
    EXPECT_EQ(toWideString(std::string("A\xE9z")), (std::u16string{u'A', char16_t(0xE9), u'z'}));
    EXPECT_EQ(toWideString(std::string("ab\0cd", 5)), u"ab");
    EXPECT_EQ(toNarrowString(std::u16string{u'A', char16_t(0x1E9), u'z'}), "A\xE9z");
    EXPECT_EQ(toNarrowString(std::u16string{u'a', char16_t(0x100), u'b'}), "a");
    EXPECT_EQ(shortToString(-32768), "-32768");
    EXPECT_EQ(shortToString(42), "42");
    EXPECT_EQ(ushortToString(65535), "65535");
}

} // namespace
