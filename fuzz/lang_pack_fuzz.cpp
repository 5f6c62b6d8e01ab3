// Language packs written from (category, item, text) triples drawn from the fuzz input, then
// read: every text must come back as it was written, under the reader's rules. Names keep their
// first 31 units; a repeated category merges with the earlier one; a repeated item keeps its
// text and takes the new pieces after it; a text goes to the latest item even across a header;
// a token still open at the end of the file adds nothing but the whole buffers of a text. The
// writer uses everything the format allows: a byte-order mark and skipped units before the first
// header, headers closed by '>' or a line break, any unit that is no name unit after an item
// name, texts cut into pieces closed by a quote or a line break, escapes, comments and stray
// units between tokens. The raw input is loaded as a pack file too, and every lookup must
// answer what was read.
#include "core/lang.h"
#include "core/langreader.h"
#include "fuzz/fuzz_support.h"

#include <array>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {

constexpr size_t NameLimit = 31;
constexpr size_t LongestName = 40;
constexpr size_t MaxTriples = 16;
// The reader hands on a text in pieces of this many units.
constexpr size_t TextBuffer = 2047;
// Around one buffer and two, so a long text is handed on once or twice while it is read.
constexpr size_t ShortestRun = 2040;
constexpr size_t LongestRun = 4100;
// Long texts are slow to write and read: a closed one comes now and then and once a pack at
// most; an unclosed one, whose whole buffers alone reach the item, more often.
constexpr u8 LongOdds = 8;
constexpr u8 UnclosedLongOdds = 64;
constexpr std::u16string_view NameUnits = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-";
// Units the format gives a meaning to somewhere, drawn more often than their share.
constexpr std::u16string_view MarkedUnits = u"\"\\\n\rnN*<> ";

bool isNameUnit(char16_t unit)
{
    return NameUnits.find(unit) != std::u16string_view::npos;
}

bool isLineBreak(char16_t unit)
{
    return unit == u'\n' || unit == u'\r';
}

// Between tokens these start something; every other unit is skipped.
bool opensToken(char16_t unit)
{
    return unit == u'<' || unit == u'"' || unit == u'*' || isNameUnit(unit);
}

class PackWriter {
public:
    explicit PackWriter(FuzzedDataProvider& in) : in(in) {}

    // Whatever comes before the first header is skipped: it holds no '<', and a comment in it
    // is closed before the header.
    void preamble()
    {
        if (in.ConsumeBool())
            units += u'\xFEFF';
        for (size_t n = in.ConsumeIntegralInRange<size_t>(0, 8); n > 0; --n)
            units += replaced(anyUnit(), u'<');
        units += u'\n';
    }

    std::u16string drawCategoryName() { return name(categories, 0, [this] { return categoryUnit(); }); }
    std::u16string drawItemName()
    {
        return name(items, 1, [this] { return NameUnits[in.ConsumeIntegral<u8>() % NameUnits.size()]; });
    }

    // Long with a chance of longOdds in 256.
    std::u16string drawText(u8 longOdds)
    {
        std::u16string text;
        for (size_t n = in.ConsumeIntegralInRange<size_t>(0, 64); n > 0; --n)
            text += anyUnit();
        if (in.ConsumeIntegral<u8>() < longOdds)
            text.append(in.ConsumeIntegralInRange<size_t>(ShortestRun, LongestRun), anyUnit());
        return text;
    }

    void header(const std::u16string& category)
    {
        const std::array<char16_t, 3> closers = {u'>', u'\r', u'\n'};
        units += u'<';
        units += category;
        units += closers[in.ConsumeIntegral<u8>() % closers.size()];
        gap();
    }

    // The unit after the name ends it and is used up, whatever it is.
    void item(const std::u16string& item)
    {
        units += item;
        char16_t separator = anyUnit();
        units += isNameUnit(separator) ? u' ' : separator;
        gap();
    }

    void text(const std::u16string& text)
    {
        const bool escapeAll = in.ConsumeBool();
        size_t at = 0;
        do {
            size_t rest = text.size() - at;
            size_t length = in.remaining_bytes() ? in.ConsumeIntegralInRange<size_t>(0, rest) : rest;
            units += u'"';
            for (size_t i = at; i < at + length; ++i)
                escaped(text[i], escapeAll);
            units += in.ConsumeBool() ? u'"' : u'\n';
            gap();
            at += length;
        } while (at < text.size());
    }

    // A header, an item name or a text the file ends in, none of it closed. Answers the part of
    // the text that still reaches the latest item: the reader hands on whole buffers only.
    std::u16string unclosedToken()
    {
        switch (in.ConsumeIntegral<u8>() % 4) {
        case 1:
            units += u'<' + drawCategoryName();
            break;
        case 2:
            units += drawItemName();
            break;
        case 3: {
            const std::u16string text = drawText(UnclosedLongOdds);
            units += u'"';
            for (char16_t unit : text)
                escaped(unit, false);
            return text.substr(0, text.size() / TextBuffer * TextBuffer);
        }
        }
        return u"";
    }

    // Little-endian pairs; an odd byte at the end is ignored by the reader.
    std::string bytes()
    {
        std::string bytes;
        for (char16_t unit : units) {
            bytes += char(unit & 0xFF);
            bytes += char(unit >> 8);
        }
        if (in.ConsumeBool())
            bytes += char(in.ConsumeIntegral<u8>());
        return bytes;
    }

private:
    // A name is new or one used before, then maybe lengthened: past 31 units the reader cuts it
    // back to a name it has seen.
    template <typename DrawUnit>
    std::u16string name(std::vector<std::u16string>& earlier, size_t shortest, DrawUnit drawUnit)
    {
        std::u16string name;
        if (!earlier.empty() && in.ConsumeBool())
            name = earlier[in.ConsumeIntegralInRange<size_t>(0, earlier.size() - 1)];
        for (size_t n = in.ConsumeIntegralInRange<size_t>(name.empty() ? shortest : 0, LongestName); n > 0; --n)
            name += drawUnit();
        earlier.push_back(name);
        return name;
    }

    char16_t anyUnit()
    {
        u8 pick = in.ConsumeIntegral<u8>();
        if (pick < MarkedUnits.size())
            return MarkedUnits[pick];
        return pick < 0x80 ? char16_t(pick) : char16_t(in.ConsumeIntegral<u16>());
    }

    char16_t categoryUnit()
    {
        char16_t unit = anyUnit();
        return unit == u'>' || isLineBreak(unit) ? u'_' : unit;
    }

    static char16_t replaced(char16_t unit, char16_t unwanted) { return unit == unwanted ? u' ' : unit; }

    void escaped(char16_t unit, bool escapeAll)
    {
        if (unit == u'\n') {
            const std::array<std::u16string_view, 3> lineBreaks = {u"\\n", u"\\N", u"\\\n"};
            units += lineBreaks[in.ConsumeIntegral<u8>() % lineBreaks.size()];
            return;
        }
        if (unit == u'"' || unit == u'\\' || (escapeAll && unit != u'n' && unit != u'N'))
            units += u'\\';
        units += unit;
    }

    // Stray units and comments, which no token starts with.
    void gap()
    {
        for (size_t n = in.ConsumeIntegralInRange<size_t>(0, 3); n > 0; --n) {
            if (!in.ConsumeBool()) {
                char16_t unit = anyUnit();
                units += opensToken(unit) ? u' ' : unit;
                continue;
            }
            units += u'*';
            for (size_t k = in.ConsumeIntegralInRange<size_t>(0, 8); k > 0; --k) {
                char16_t unit = anyUnit();
                units += isLineBreak(unit) ? u' ' : unit;
            }
            units += in.ConsumeBool() ? u'\r' : u'\n';
        }
    }

    FuzzedDataProvider& in;
    std::u16string units;
    std::vector<std::u16string> categories;
    std::vector<std::u16string> items;
};

// The raw input, loaded as a pack file: what the lookups answer is what the reader read.
void checkLookups(const u8* data, size_t size)
{
    writeScratchFile("resource/fuzz.lang", data, size);
    loadLangPack("fuzz");
    LangPack read;
    readLangPack(std::string(reinterpret_cast<const char*>(data), size), read);
    for (const auto& [category, items] : read) {
        for (const auto& [item, text] : items)
            require(langText(category, item) == text, "langText answers the text that was read");
        require(langText(category, u"\x7F") == u"NOITM-" + category + u":\x7F", "a missing item is marked");
    }
    // No item name holds this unit; a category name may.
    if (!read.count(u"\x7F"))
        require(langText(u"\x7F", u"x") == u"NOCAT-\x7F:x", "a missing category is marked");
    unloadLangPack();
}

// A pack written from triples drawn from the input reads back as exactly what was written.
void checkWrittenPack(const u8* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    PackWriter writer(in);
    LangPack written;
    std::u16string category;
    std::u16string* latestText = nullptr;
    bool longTextWritten = false;
    auto newHeader = [&] {
        category = writer.drawCategoryName();
        writer.header(category);
        written[category.substr(0, NameLimit)];
    };
    writer.preamble();
    for (size_t n = 0; n < MaxTriples && in.remaining_bytes() > 0; ++n) {
        if (n == 0 || in.ConsumeBool())
            newHeader();
        const std::u16string itemCategory = category;
        const std::u16string item = writer.drawItemName();
        writer.item(item);
        if (in.ConsumeBool())
            newHeader();
        const std::u16string text = writer.drawText(longTextWritten ? 0 : LongOdds);
        longTextWritten |= text.size() >= ShortestRun;
        writer.text(text);
        latestText = &written[itemCategory.substr(0, NameLimit)][item.substr(0, NameLimit)];
        *latestText += text;
    }
    const std::u16string handedOn = writer.unclosedToken();
    if (latestText)
        *latestText += handedOn;
    LangPack read;
    readLangPack(writer.bytes(), read);
    require(read == written, "the pack reads back as it was written");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzTarget();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    checkLookups(data, size);
    checkWrittenPack(data, size);
    return 0;
}
