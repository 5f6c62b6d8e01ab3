#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"
#include "tests/support/sdl_env.h"
#include "tools/levelc/levelsource.h"
#include "world/level.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

// A whole source of 29 lines, of a 3 x 2 x 1 map whose tileset and size lines the cases replace.
// Its start camera and pan steps lie at the ends of what the level file holds: the first at frame 0,
// where a new level already has a step of its own.
std::string source(const std::string& tileset, const std::string& size)
{
    std::string text = "tileset " + tileset + "\nsize " + size + "\nactive 0\nstart 0 4294967295\ncamera pan\nkinds\n";
    for (int r = 0; r < 16; ++r)
        text += "0123450000000000\n";
    text += "tile a 1 0\nlayer 0\n|a..|\n|.aa|\nobject Dummy 40 -8\npan 0 2 -1\npan 4294967205 -16 15\n";
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
    ASSERT_EQ(level.save("t.lvl"), SaveResult::Saved);

    Level again("t.lvl");
    ASSERT_FALSE(again.loadFailed());
    EXPECT_EQ(again.setName(), std::string(64, 's'));
    EXPECT_EQ(again.tileAt(0, 0, 0), 0x01);
    EXPECT_EQ(again.tileAt(1, 1, 0), 0x01);
    EXPECT_EQ(again.tileAt(1, 0, 0), 0x00);
    EXPECT_EQ(again.tileAt(2, 1, 0), 0x01);  // the map's last column
    EXPECT_EQ(again.kind(Tile(0x02)), 2);
    EXPECT_EQ(again.kind(Tile(0x25)), 5);
    EXPECT_EQ(again.startCameraX(), 0u);
    EXPECT_EQ(again.startCameraY(), 4294967295u);
    EXPECT_EQ(again.panDX(0), 2);
    EXPECT_EQ(again.panDY(30), -1);
    EXPECT_EQ(again.panLength(), 4294967295u);
    std::vector<LevelObject*> objects;
    again.allObjects(objects);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ((std::vector<i32>{objects[0]->type, objects[0]->x, objects[0]->y}), (std::vector<i32>{5, 40, -8}));

    // A follow camera, with a path of a single step at frame 0 (kept in the level, not in its file).
    std::string text = source("cytok", "3 2 1");
    text.replace(text.find("camera pan"), 10, "camera follow");
    text.erase(text.find("pan 4294967205"));
    LevelSource follow;
    ASSERT_TRUE(parse(text, follow, error)) << error;
    Level compiled(3, 2, 1, 0, "cytok");
    compileLevelSource(follow, compiled);
    EXPECT_EQ(compiled.cameraMode(), CameraFollow);
    EXPECT_EQ(compiled.panDX(9), 2);
}

TEST_F(LevelSourceTest, RefusesSizesWithTooManyTilesToHold)
{
    // 2^28 tiles pass the size line (the source then lacks its tileset); one column more does not.
    LevelSource src;
    std::string error;
    EXPECT_FALSE(parse("size 16384 16384 1\n", src, error));
    EXPECT_EQ(error, "t.txt:1: tileset and size are required");
    EXPECT_FALSE(parse("size 16385 16384 1\n", src, error));
    EXPECT_EQ(error, "t.txt:1: size: more than 268435456 tiles");
    EXPECT_FALSE(parse("size 65535 65535 255\n", src, error));
}

// Each fault writes over a piece of a 3 x 2 x 2 source or, with no piece given, adds lines at its end.
TEST_F(LevelSourceTest, RefusesWhatTheLevelFileCannotHoldAtTheLineAtFault)
{
    std::string kinds = "kinds\n", steps;
    for (int r = 0; r < 16; ++r)
        kinds += "1111111111111111\n";
    for (int frame = 31; frame < 31 + 65534; ++frame)
        steps += "pan " + std::to_string(frame) + " 0 0\n";
    const std::string start = "start 0 4294967295", startError = "t.txt:4: start X Y (0..4294967295)";
    const std::string pan = "pan 4294967205 -16 15";
    const std::string panError = "t.txt:29: pan FRAME DX DY (frames 0..4294967205, pixels -16..15)";
    const std::string name = "tileset cytok", size = "size 3 2 2";
    const std::string nameError = "t.txt:1: tileset NAME: at most 64 bytes, without '/', '\\' or \"..\"";
    const std::string sizeError = "t.txt:2: size COLUMNS ROWS LAYERS (1..65535, 1..65535, 1..255)";
    struct Fault {
        std::string piece, replacement, error;
    };
    for (const Fault& f :
         {Fault{name, "tileset a/b", nameError}, {name, "tileset a\\b", nameError}, {name, "tileset ..x", nameError},
          {name, "tileset " + std::string(65, 's'), nameError}, {size, "size 0 2 1", sizeError},
          {size, "size 3 0 1", sizeError}, {size, "size 3 2 0", sizeError}, {size, "size 65536 2 1", sizeError},
          {size, "size 3 65536 1", sizeError}, {size, "size 3 2 256", sizeError}, {start, "start -5 0", startError},
          {start, "start 0 -7", startError}, {start, "start 0 4294967296", startError},
          {start, "start 99999999999 0", startError},
          {pan, "pan -1 1 1", panError}, {pan, "pan 4294967206 1 1", panError}, {pan, "pan 0 16 0", panError},
          {pan, "pan 0 0 0", "t.txt:29: a pan step for this frame is already given"},
          {"", steps, "t.txt:65563: pan: at most 65535 steps"},
          {"0000000000\ntile", "0000000006\ntile", "t.txt:22: kinds: 16 digits 0..5 expected"},
          {"", kinds, "t.txt:30: kinds: given twice"},
          {"active 0", "active 2", "t.txt:3: active layer out of range"},
          {"|.aa|", "|.ab|", "t.txt:26: layer 0: no tile for 'b'"},
          {"|.aa|", std::string("|.a\0|", 5), "t.txt:26: layer 0: no tile for '\\x00'"},
          {"|.aa|", "|.a\xe9|", "t.txt:26: layer 0: no tile for '\\xe9'"},
          // Bytes that do not print are named by their code: none cuts a message short or reaches a terminal.
          {"", std::string("fo\0o\n", 5), "t.txt:30: unknown directive 'fo\\x00o'"},
          {"", "x\033[31m\\r\037d\n", "t.txt:30: unknown directive 'x\\x1b[31m\\x5cr\\x1fd'"},
          {"object Dummy", "object D~m\x7f", "t.txt:27: unknown object 'D~m\\x7f'"},
          {"", "layer 2\n", "t.txt:30: layer N: a new layer below the layer count (give size first)"},
          {"", "size 3 4 2\n", "t.txt:30: layer 0 was drawn for another size"},
          {"", "size 4 2 2\n", "t.txt:30: layer 0 was drawn for another size"},
          {"", "layer 1\n|...|\n|...|\nsize 3 2 1\n", "t.txt:33: layer 1 was drawn for another size"}}) {
        std::string text = source("cytok", "3 2 2");
        if (f.piece.empty())
            text += f.replacement;
        else
            text.replace(text.find(f.piece), f.piece.size(), f.replacement);
        LevelSource src;
        std::string error;
        EXPECT_FALSE(parse(text, src, error)) << f.replacement.substr(0, 30);
        EXPECT_EQ(error, f.error) << f.replacement.substr(0, 30);
    }
}
