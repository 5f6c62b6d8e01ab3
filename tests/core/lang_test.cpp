#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"

#include "core/lang.h"
#include "core/langreader.h"
#include "core/respack.h"

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string utf16le(const std::u16string& text)
{
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(char(unit & 0xFF));
        bytes.push_back(char(unit >> 8));
    }
    return bytes;
}

LangPack parse(const std::u16string& text)
{
    LangPack pack;
    readLangPack(utf16le(text), pack);
    return pack;
}

// What langText would answer for this pack, so lookups of the reader's output read naturally.
std::u16string lookup(const LangPack& pack, const std::u16string& category, const std::u16string& item)
{
    auto items = pack.find(category);
    if (items == pack.end())
        return u"NOCAT-" + category + u":" + item;
    auto text = items->second.find(item);
    return text == items->second.end() ? u"NOITM-" + category + u":" + item : text->second;
}

std::string printable(const std::u16string& text)
{
    std::ostringstream out;
    for (char16_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F)
            out << char(unit);
        else
            out << "<" << std::hex << int(unit) << std::dec << ">";
    }
    return out.str();
}

struct LangCase {
    const char* what;
    std::u16string source;
    std::u16string category;
    std::u16string item;
    std::u16string expected;
};

const LangCase langCases[] = {
    {"a plain item", u"<menu>\r\nop_return \"Return\"\r\n", u"menu", u"op_return", u"Return"},
    {"pieces are joined", u"<c>\nit \"first\" \"second\"\n", u"c", u"it", u"firstsecond"},
    {"escaped n and N", u"<c>\nit \"a\\nb\\Nc\"\n", u"c", u"it", u"a\nb\nc"},
    {"escaped quotes stay", u"<c>\nit \"say \\\"hi\\\"\"\n", u"c", u"it", u"say \"hi\""},
    {"escaped backslash", u"<c>\nit \"a\\\\b\"\n", u"c", u"it", u"a\\b"},
    {"escaped line break", u"<c>\nit \"a\\\nb\"\n", u"c", u"it", u"a\nb"},
    {"a line break ends a piece, CR kept", u"<c>\nit \"abc\r\nnext \"x\"", u"c", u"it", u"abc\r"},
    {"the quote after a name is lost", u"<c>\nfirst\"second\"\n", u"c", u"first", u""},
    {"...and the word after it is an item", u"<c>\nfirst\"second\"\n", u"c", u"second", u""},
    {"comment lines are skipped", u"<c>\n* it \"no\"\nit \"yes\"\n* \"no\"\n", u"c", u"it", u"yes"},
    {"a CR alone ends a comment", u"<c>\n* note\rit \"v\"\n", u"c", u"it", u"v"},
    {"a comment before the first header", u"* <x> \"y\"\n<c>\nit \"v\"\n", u"x", u"y", u"NOCAT-x:y"},
    {"'*' inside a text", u"<c>\nit \"a*b\"\n", u"c", u"it", u"a*b"},
    {"'*' inside a header", u"<c*d>\nit \"v\"\n", u"c*d", u"it", u"v"},
    {"'*' ending a name starts no comment", u"<c>\nit* \"v\"\n", u"c", u"it", u"v"},
    {"a header ends at a line break", u"<c\nit \"v\"\n", u"c", u"it", u"v"},
    {"repeated headers merge (first)", u"<c>\na \"1\"\n<d>\n<c>\nb \"2\"\n", u"c", u"a", u"1"},
    {"repeated headers merge (second)", u"<c>\na \"1\"\n<d>\n<c>\nb \"2\"\n", u"c", u"b", u"2"},
    {"a repeated item keeps its text", u"<c>\na \"1\"\na \"2\"\n", u"c", u"a", u"12"},
    {"a text after a header goes to the last item", u"<c>\na \"1\"\n<d>\n\"2\"\n", u"c", u"a", u"12"},
    {"...not into the new category", u"<c>\na \"1\"\n<d>\n\"2\"\n", u"d", u"a", u"NOITM-d:a"},
    {"a text before any item is dropped", u"<c>\n\"lost\"\nit \"v\"\n", u"c", u"it", u"v"},
    {"name units", u"<c>\nop-a_9Z \"v\"\n", u"c", u"op-a_9Z", u"v"},
    {"units above 0x7F: kept in texts", u"<c>\n\u00e9 it \"\u00e9\u4e2d\"\n", u"c", u"it", u"\u00e9\u4e2d"},
    {"a byte-order mark before the first header", u"\ufeff<c>\nit \"v\"\n", u"c", u"it", u"v"},
    {"a header open at the end is not added", u"<c>\nit \"v\"\n<d", u"d", u"it", u"NOCAT-d:it"},
    {"a name open at the end is not added", u"<c>\nit \"v\"\nlast", u"c", u"last", u"NOITM-c:last"},
    {"an open text at the end is lost", u"<c>\nit \"v\" \"tail", u"c", u"it", u"v"},
    {"nothing counts before the first header", u"it \"v\"\n<c>\n", u"c", u"it", u"NOITM-c:it"},
};

} // namespace

TEST(LangReader, ReadsThePackSyntax)
{
    for (const LangCase& c : langCases) {
        EXPECT_EQ(printable(lookup(parse(c.source), c.category, c.item)), printable(c.expected))
            << c.what;
    }
}

TEST(LangReader, NamesKeepTheirFirst31Units)
{
    std::u16string longName(40, u'n');
    longName[30] = u'x';
    LangPack pack = parse(u"<" + std::u16string(35, u'C') + u">\n" + longName + u" \"v\"\n");
    const std::u16string category(31, u'C');
    EXPECT_EQ(lookup(pack, category, longName.substr(0, 31)), u"v");
    EXPECT_EQ(lookup(pack, category, longName), u"NOITM-" + category + u":" + longName);
}

TEST(LangReader, LongTextsAreStoredWholeButAnOpenTailIsLost)
{
    std::u16string text(5000, u'a');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t(u'a' + i % 26);
    EXPECT_EQ(lookup(parse(u"<c>\nit \"" + text + u"\"\n"), u"c", u"it"), text);
    // Without its closing quote only the full 2047-unit chunks made it in.
    EXPECT_EQ(lookup(parse(u"<c>\nit \"" + text), u"c", u"it"), text.substr(0, 2 * 2047));
}

TEST(LangReader, OddLastByteIsIgnored)
{
    LangPack pack;
    readLangPack(utf16le(u"<c>\nit \"v\"\n") + "\x22", pack);
    EXPECT_EQ(lookup(pack, u"c", u"it"), u"v");
}

class LanguagePack : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory("resource");
        initResourcePack();
    }
    void TearDown() override
    {
        unloadLangPack();
        cleanupResourcePack();
    }
    ScratchDir scratch;
};

TEST_F(LanguagePack, LookupsNameWhatIsMissing)
{
    unloadLangPack();
    EXPECT_EQ(langText(u"menu", u"new"), u"NOLNG-menu:new");
    loadLangPack("nowhere");   // a missing file is an empty pack
    EXPECT_EQ(langText(u"menu", u"new"), u"NOCAT-menu:new");

    writeFile("resource/test.lang", utf16le(u"<menu>\nnew \"New game\"\n"));
    loadLangPack("test");
    EXPECT_EQ(langText(u"menu", u"new"), u"New game");
    EXPECT_EQ(langText(u"menu", u"New"), u"NOITM-menu:New");
    EXPECT_EQ(langText(u"Menu", u"new"), u"NOCAT-Menu:new");

    // Loading replaces the whole pack.
    writeFile("resource/other.lang", utf16le(u"<pause>\nquit \"Quit\"\n"));
    loadLangPack("other");
    EXPECT_EQ(langText(u"menu", u"new"), u"NOCAT-menu:new");
    EXPECT_EQ(langText(u"pause", u"quit"), u"Quit");
}

TEST_F(LanguagePack, LoadsFromTheResourcePack)
{
    writeFile("resource/packed.lang", utf16le(u"<general>\nyes \"Yes\"\n"));
    writeFile("list.txt", "resource\\packed.lang\n");
    testing::internal::CaptureStdout();
    ASSERT_TRUE(packResources("list.txt"));
    testing::internal::GetCapturedStdout();
    ASSERT_FALSE(pathExists("resource/packed.lang"));

    initResourcePack();
    loadLangPack("packed");
    EXPECT_EQ(langText(u"general", u"yes"), u"Yes");
    // Nothing was extracted into the game's folder.
    int files = 0;
    for (const auto& entry : fs::directory_iterator("resource"))
        files += entry.path().filename() == "resource.dir" || entry.path().filename() == "resource.pack" ? 1 : 100;
    EXPECT_EQ(files, 2);
}

// The shipped English pack must read cleanly with the game's reader.
TEST(ShippedLanguagePack, EnglishHasTheMenuTexts)
{
    initResourcePack();
    loadLangPack("english");
    for (const char16_t* item : {u"new", u"options", u"quit", u"op_return"}) {
        std::u16string text = langText(u"menu", item);
        EXPECT_FALSE(text.empty()) << printable(item);
        EXPECT_NE(text.rfind(u"NO", 0), 0u) << printable(text);
    }
    EXPECT_EQ(langText(u"general", u"yes"), u"Yes");
    unloadLangPack();
    cleanupResourcePack();
}
