#include <gtest/gtest.h>

#include "tests/support/sdl_env.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/font.h"
#include "core/lang.h"
#include "core/media.h"
#include "core/message.h"
#include "core/respack.h"

#include <SDL/SDL_mixer.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace {

const char* const SourceFolders[] = {"core", "world", "actors", "story", "editor", "online"};

std::string readSource(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> sourceTexts()
{
    std::vector<std::string> texts;
    for (const char* folder : SourceFolders) {
        if (!std::filesystem::exists(folder))
            continue;
        for (auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            auto ext = entry.path().extension();
            if (ext == ".cpp" || ext == ".h")
                texts.push_back(readSource(entry.path()));
        }
    }
    return texts;
}

// The quoted strings of a source text that start with `prefix`, without their quotes.
std::vector<std::string> quotedStartingWith(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> found;
    const std::string opener = "\"" + prefix;
    for (size_t at = text.find(opener); at != std::string::npos; at = text.find(opener, at + 1)) {
        size_t lineStart = text.rfind('\n', at);
        lineStart = lineStart == std::string::npos ? 0 : lineStart;
        if (text.find("//", lineStart) < at)
            continue;  // an example in a comment, not a name the game loads
        size_t close = text.find('"', at + 1);
        if (close != std::string::npos)
            found.push_back(text.substr(at + 1, close - at - 1));
    }
    return found;
}

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Every whole resource name written literally anywhere in the game's sources.
std::set<std::string> resourceNamesInSources()
{
    std::set<std::string> names;
    for (const std::string& text : sourceTexts())
        for (const std::string& name : quotedStartingWith(text, "resource/"))
            if (endsWith(name, ".gif") || endsWith(name, ".bmp") || endsWith(name, ".wav") || endsWith(name, ".it"))
                names.insert(name);
    return names;
}

std::string extensionOf(const std::string& name)
{
    return name.substr(name.rfind('.') + 1);
}

class ShippedResources : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        initResourcePack();
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16LSB, 1, 1024), 0);
    }
    void TearDown() override
    {
        freeAllSounds();
        freeAllMusic();
        Mix_CloseAudio();
        freeAllSurfaces();
        cleanupResourcePack();
        SdlTest::TearDown();
    }
};

} // namespace

TEST_F(ShippedResources, EveryNamedResourceLoads)
{
    std::set<std::string> names = resourceNamesInSources();
    ASSERT_GT(names.size(), 50u) << "the source scan found too few names to be trusted";
    int messagesBefore = messagesShownCount();
    for (const std::string& name : names) {
        std::string ext = extensionOf(name);
        if (ext == "gif" || ext == "bmp")
            EXPECT_NE(loadGraphic(name, true, 0, 255, 0, false), nullptr) << name;
        else if (ext == "wav")
            EXPECT_NE(loadSound(name), nullptr) << name;
        else
            EXPECT_NE(loadMusic(name), nullptr) << name;
    }
    EXPECT_EQ(messagesShownCount(), messagesBefore) << lastMessageShown();
}

TEST_F(ShippedResources, SheetsHaveTheSizesTheirCellsNeed)
{
    const std::map<std::string, std::pair<int, int>> sizes = {
        {"resource/char.gif", {192, 76}},         {"resource/multiplayer-2.gif", {192, 76}},
        {"resource/multiplayer-5.gif", {192, 76}}, {"resource/cytok-tiles.gif", {256, 256}},
        {"resource/clouds_1.gif", {320, 240}},     {"resource/clouds_3.gif", {320, 240}},
        {"resource/f_orange.gif", {128, 84}},      {"resource/f_ice.gif", {128, 84}},
        {"resource/fs_orange.gif", {80, 36}},      {"resource/fs_black.gif", {80, 36}},
    };
    for (auto& [name, size] : sizes) {
        SDL_Surface* image = loadGraphic(name, true, 0, 255, 0, false);
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->w, size.first) << name;
        EXPECT_EQ(image->h, size.second) << name;
    }
}

namespace {

using InkMask = std::set<std::pair<int, int>>;

// The pixels one character of a small font draws, as the game draws it. The paper is black:
// a sheet background that is not keyed out shows up as ink.
InkMask smallInk(SPF_Small& font, u16 code)
{
    SDL_FillRect(backBuffer, nullptr, 0);
    font.drawChar(backBuffer, 0, 0, code);
    InkMask ink;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 5; ++x)
            if ((getPixel(backBuffer, x, y) & 0xFFFFFF) != 0)
                ink.insert({x, y});
    return ink;
}

} // namespace

// The hint and the controls page are read in the small font: letters a player confuses at a
// glance must differ in more than a pixel or two.
TEST_F(ShippedResources, SmallLookalikesDifferByAtLeastThreePixels)
{
    SPF_Small font(3);  // black ink, no shadow
    // Every two letters of a group; the capitals are those the binding page and the hint show.
    for (const std::u16string lookalikes : {u"mnuvw0123456789", u"UVY", u"RB"}) {
        for (size_t i = 0; i < lookalikes.size(); ++i) {
            const InkMask a = smallInk(font, lookalikes[i]);
            EXPECT_FALSE(a.empty()) << char(lookalikes[i]);
            for (size_t j = i + 1; j < lookalikes.size(); ++j) {
                const InkMask b = smallInk(font, lookalikes[j]);
                InkMask differ;
                std::set_symmetric_difference(a.begin(), a.end(), b.begin(), b.end(),
                                              std::inserter(differ, differ.begin()));
                EXPECT_GE(differ.size(), 3u) << char(lookalikes[i]) << " and " << char(lookalikes[j]);
            }
        }
    }
}

// The fifth column is the gap between letters (the shadow in the coloured sheets).
TEST_F(ShippedResources, SmallGlyphsNeverInkTheirLastColumn)
{
    SPF_Small font(3);
    for (u16 code = 32; code <= 127; ++code)
        for (auto [x, y] : smallInk(font, code))
            EXPECT_LT(x, 4) << "code " << code << " row " << y;
}

TEST(ShippedLanguage, EveryLiteralItemLookupIsAnswered)
{
    const std::string call = "langText(u\"";
    initResourcePack();
    loadLangPack("english");
    int checked = 0;
    for (const std::string& text : sourceTexts()) {
        for (size_t at = text.find(call); at != std::string::npos; at = text.find(call, at + 1)) {
            size_t categoryEnd = text.find('"', at + call.size());
            const std::string between = "\", u\"";
            if (categoryEnd == std::string::npos || text.compare(categoryEnd, between.size(), between) != 0)
                continue;
            size_t itemStart = categoryEnd + between.size();
            size_t itemEnd = text.find('"', itemStart);
            std::string category = text.substr(at + call.size(), categoryEnd - at - call.size());
            std::string item = text.substr(itemStart, itemEnd - itemStart);
            std::u16string answer = langText(std::u16string(category.begin(), category.end()),
                                             std::u16string(item.begin(), item.end()));
            EXPECT_NE(answer.rfind(u"NO", 0), 0u) << category << ":" << item;
            ++checked;
        }
    }
    unloadLangPack();
    cleanupResourcePack();
    EXPECT_GT(checked, 0);
}
