#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"
#include "tests/support/sdl_env.h"
#include "tools/levelc/levelsource.h"
#include "world/level.h"

#include <sstream>
#include <string>

namespace {

// A whole source of a 3 x 2 x 1 map whose tileset and size lines the cases replace.
std::string source(const std::string& tileset, const std::string& size)
{
    std::string text = "tileset " + tileset + "\nsize " + size + "\nactive 0\nstart 8 16\ncamera pan\nkinds\n";
    for (int r = 0; r < 16; ++r)
        text += "0123450000000000\n";
    text += "tile a 1 0\nlayer 0\n|a.a|\n|.a.|\nobject Dummy 40 -8\npan 30 2 -1\n";
    return text;
}

bool parse(const std::string& text, LevelSource& src, std::string& error)
{
    std::istringstream in(text);
    return parseLevelSource(in, "t.txt", src, error);
}

class LevelSourceTest : public SdlTest {
protected:
    ScratchDir scratch;
};

} // namespace

TEST_F(LevelSourceTest, WhatItAcceptsCompilesToALevelThatLoads)
{
    LevelSource src;
    std::string error;
    ASSERT_TRUE(parse(source(std::string(64, 's'), "3 2 1"), src, error)) << error;
    Level level(u16(src.columns), u16(src.rows), u8(src.layers), u8(src.active), src.set);
    compileLevelSource(src, level);
    ASSERT_TRUE(level.save("t.lvl"));

    Level again("t.lvl");
    ASSERT_FALSE(again.loadFailed());
    EXPECT_EQ(again.setName(), std::string(64, 's'));
    EXPECT_EQ(again.tileAt(0, 0, 0), 0x01);
    EXPECT_EQ(again.tileAt(1, 1, 0), 0x01);
    EXPECT_EQ(again.tileAt(1, 0, 0), 0x00);
    EXPECT_EQ(again.kind(Tile(0x02)), 2);
    EXPECT_EQ(again.kind(Tile(0x25)), 5);
    EXPECT_EQ(again.startCameraY(), 16u);
    EXPECT_EQ(again.panDX(30), 2);
    EXPECT_EQ(again.panDY(30), -1);
}

TEST_F(LevelSourceTest, RefusesSetNamesTheLoaderRefuses)
{
    for (const std::string& name : {std::string("a/b"), std::string("a\\b"), std::string("..x"),
                                    std::string(65, 's')}) {
        LevelSource src;
        std::string error;
        EXPECT_FALSE(parse(source(name, "3 2 1"), src, error)) << name;
        EXPECT_EQ(error, "t.txt:1: tileset NAME: at most 64 bytes, without '/', '\\' or \"..\"") << name;
    }
}

TEST_F(LevelSourceTest, RefusesSizesWithoutTilesOrTooManyToHold)
{
    for (const std::string& size : {"0 2 1", "3 0 1", "3 2 0", "65536 2 1", "3 2 256"}) {
        LevelSource src;
        std::string error;
        EXPECT_FALSE(parse(source("cytok", size), src, error)) << size;
        EXPECT_EQ(error, "t.txt:2: size COLUMNS ROWS LAYERS (1..65535, 1..65535, 1..255)") << size;
    }
    // 2^28 tiles pass the size line (the source then lacks its tileset); one column more does not.
    LevelSource src;
    std::string error;
    EXPECT_FALSE(parse("size 16384 16384 1\n", src, error));
    EXPECT_EQ(error, "t.txt:1: tileset and size are required");
    EXPECT_FALSE(parse("size 16385 16384 1\n", src, error));
    EXPECT_EQ(error, "t.txt:1: size: more than 268435456 tiles");
    EXPECT_FALSE(parse("size 65535 65535 255\n", src, error));
}

TEST_F(LevelSourceTest, RefusesALayerDrawnBeforeTheSizeChanged)
{
    for (const std::string& size : {"3 4 1", "4 2 1"}) {
        LevelSource src;
        std::string error;
        EXPECT_FALSE(parse(source("cytok", "3 2 1") + "size " + size + "\n", src, error)) << size;
        EXPECT_EQ(error, "t.txt:29: layer 0 was drawn for another size") << size;
    }
}
