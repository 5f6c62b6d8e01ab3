#include <gtest/gtest.h>

#include "tests/support/mixed_level.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sdl_env.h"
#include "core/draw.h"
#include "core/media.h"
#include "world/factory.h"
#include "world/level.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace {

// Little-endian byte strings for hand-built level files.
struct Bytes {
    std::string s;
    Bytes& u8s(u8 v)
    {
        s.push_back(char(v));
        return *this;
    }
    Bytes& u16s(u16 v) { return u8s(u8(v)).u8s(u8(v >> 8)); }
    Bytes& u32s(u32 v) { return u16s(u16(v)).u16s(u16(v >> 16)); }
    Bytes& text(const std::string& t)
    {
        s += t;
        return *this;
    }
};

// Kinds table of the sample level in file order (index = column * 16 + row).
std::string sampleKinds()
{
    std::string k(256, char(1));
    k[0] = 0;
    k[3 * 16 + 1] = 3;  // tile 0x13
    k[1] = 2;           // tile 0x10
    return k;
}

// The groups A-D for a level 2 columns x 3 rows x 2 layers, active layer 1.
void sampleGroups(Bytes& b, u8 kind0, u8 kind1)
{
    b.u16s(2).u8s(2).u8s(1);
    b.u16s(3).u16s(2);
    b.u8s(2).u8s(1).u8s(1).u8s(kind0);
    b.u8s(1).u8s(1).u8s(kind0).u8s(kind1);
}

std::string sampleTiles()
{
    std::string t;
    for (int i = 0; i < 12; ++i)
        t.push_back(char(0x10 + i));
    return t;
}

// The byte image of the sample level as version 3 writes it.
std::string sampleFile()
{
    Bytes b;
    b.u32s(3).text("cytok").u8s(0).text(sampleKinds());
    sampleGroups(b, 0, 2);
    b.text(sampleTiles());
    b.u32s(5).u32s(7).u8s(1);
    b.u16s(2).u32s(0).u8s(8).u8s(0).u32s(30).u8s(u8(-16)).u8s(8);
    b.u32s(2);
    b.u16s(28).u16s(0).u32s(u32(-40)).u32s(100);
    b.u16s(6).u16s(0).u32s(16).u32s(32);
    return b.s;
}

// Everything the sample level holds, for comparing a reload with its source.
void buildSample(Level& level)
{
    for (int i = 0; i < 12; ++i)
        level.setTile(i / 6, i / 2 % 3, i % 2, u8(0x10 + i));
    level.setKindRaw(0x13, 3);
    level.setKindRaw(0x10, 2);
    level.setStartCamera(5, 7);
    level.clearPan();
    level.addPanStep(0, 1, 0);
    level.addPanStep(30, -2, 1);
    level.addObject(28, -40, 100);
    level.addObject(6, 16, 32);
}

class LevelFileTest : public SdlTest {
protected:
    ScratchDir scratch;
};

} // namespace

TEST_F(LevelFileTest, SaveWritesTheFileByteForByteAndLoadsItBack)
{
    Level level(2, 3, 2, 1, "cytok");
    buildSample(level);
    ASSERT_EQ(level.save("sample.lvl"), SaveResult::Saved);
    EXPECT_EQ(readFile("sample.lvl"), sampleFile());

    Level again("sample.lvl");
    ASSERT_FALSE(again.loadFailed());
    EXPECT_EQ(again.setName(), "cytok");
    EXPECT_EQ(again.width(), 2);
    EXPECT_EQ(again.height(), 3);
    EXPECT_EQ(again.layers(), 2);
    EXPECT_EQ(again.activeLayer(), 1);
    EXPECT_EQ(again.tileAt(1, 2, 1), 0x1B);
    EXPECT_EQ(again.tileAt(0, 1, 0), 0x12);
    EXPECT_EQ(again.kind(Tile(0x13)), 3);
    EXPECT_EQ(again.startCameraX(), 5u);
    EXPECT_EQ(again.startCameraY(), 7u);
    EXPECT_EQ(again.panDX(29), 1);
    EXPECT_EQ(again.panDX(30), -2);
    EXPECT_EQ(again.panDY(31), 1);
    std::vector<LevelObject*> objects;
    again.allObjects(objects);
    ASSERT_EQ(objects.size(), 2u);  // in file order
    EXPECT_EQ(objects[0]->type, 28);
    EXPECT_EQ(objects[0]->x, -40);
    EXPECT_EQ(objects[1]->type, 6);
    EXPECT_EQ(objects[1]->y, 32);
    ASSERT_EQ(again.save("copy.lvl"), SaveResult::Saved);
    EXPECT_EQ(readFile("copy.lvl"), sampleFile());
}

TEST_F(LevelFileTest, FollowModeHasNoPanSection)
{
    Level level(1, 1, 1, 0, "cytok");
    level.setCameraMode(CameraFollow);
    level.addObject(0, 1, 2);
    ASSERT_EQ(level.save("follow.lvl"), SaveResult::Saved);
    std::string bytes = readFile("follow.lvl");
    size_t t = 4 + 6 + 256 + 16 + 1;  // version, name, kinds, groups, one tile
    ASSERT_EQ(bytes.size(), t + 9 + 4 + 12);
    EXPECT_EQ(bytes[t + 8], 0);  // the mode byte, then straight to the object count
    EXPECT_EQ(bytes[t + 9], 1);
    Level again("follow.lvl");
    EXPECT_FALSE(again.loadFailed());
    EXPECT_EQ(again.cameraMode(), CameraFollow);
    EXPECT_EQ(again.panStepCount(), 0u);
}

TEST_F(LevelFileTest, OlderVersionsLoadWithTheirDefaults)
{
    Bytes v1;
    v1.u32s(1).text(sampleKinds());
    sampleGroups(v1, 0, 2);
    v1.text(sampleTiles());
    writeFile("v1.lvl", v1.s);
    Level one("v1.lvl");
    ASSERT_FALSE(one.loadFailed());
    EXPECT_EQ(one.setName(), "cytok");
    EXPECT_EQ(one.cameraMode(), CameraPan);
    EXPECT_EQ(one.panDX(0), 1);
    EXPECT_EQ(one.panDX(5000), 1);
    EXPECT_EQ(one.panDY(0), 0);
    std::vector<LevelObject*> objects;
    one.allObjects(objects);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ((std::vector<i32>{objects[0]->type, objects[0]->x, objects[0]->y}), (std::vector<i32>{0, 64, 64}));

    Bytes v2;
    v2.u32s(2).text(sampleKinds());
    sampleGroups(v2, 0, 2);
    v2.text(sampleTiles()).u32s(64).u32s(0).u8s(0).u32s(1).u16s(5).u16s(0xBEEF).u32s(3).u32s(4);
    writeFile("v2.lvl", v2.s);
    Level two("v2.lvl");
    ASSERT_FALSE(two.loadFailed());
    EXPECT_EQ(two.setName(), "cytok");
    EXPECT_EQ(two.startCameraX(), 64u);
    EXPECT_EQ(two.cameraMode(), CameraFollow);
    objects.clear();
    two.allObjects(objects);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0]->type, 5);
    EXPECT_EQ(objects[0]->x, 3);
}

// Each field is taken from the one group that counts; every other copy of it says something else.
TEST_F(LevelFileTest, EachHeaderFieldComesFromItsOwnGroup)
{
    Bytes b;
    b.u32s(2).text(sampleKinds());  // the table says kinds 0 and 2 for tiles 0x00 and 0x10
    b.u16s(0x0109).u8s(4).u8s(3);   // A: width, layers, active layer
    b.u16s(3).u16s(2);              // B: height, width
    b.u8s(2).u8s(0).u8s(1).u8s(4);  // C: layers, active layer, 1, kind of tile 0x00
    b.u8s(1).u8s(1).u8s(3).u8s(5);  // D: active layer, 1, kinds of tiles 0x00 and 0x10
    b.text(sampleTiles()).u32s(0).u32s(0).u8s(0).u32s(0);
    writeFile("d.lvl", b.s);
    Level level("d.lvl");
    ASSERT_FALSE(level.loadFailed());
    EXPECT_EQ((std::vector<int>{level.width(), level.height(), level.layers(), level.activeLayer()}),
              (std::vector<int>{2, 3, 2, 1}));
    EXPECT_EQ(level.kind(Tile(0x00)), 3);
    EXPECT_EQ(level.kind(Tile(0x10)), 5);
}

TEST_F(LevelFileTest, EveryTruncationFailsCleanly)
{
    std::string whole = sampleFile();
    Level level(1, 1, 1, 0, "cytok");
    for (size_t n = 0; n < whole.size(); ++n) {
        writeFile("cut.lvl", whole.substr(0, n));
        EXPECT_FALSE(level.load("cut.lvl")) << "cut at " << n;
        EXPECT_TRUE(level.loadFailed());
        EXPECT_EQ(level.panStepCount(), 0u) << "cut at " << n;
        std::vector<LevelObject*> objects;
        level.allObjects(objects);
        EXPECT_TRUE(objects.empty()) << "cut at " << n;
        EXPECT_EQ(level.tileAt(0, 0, 0), 0);
    }
    writeFile("cut.lvl", whole);
    EXPECT_TRUE(level.load("cut.lvl"));
}

TEST_F(LevelFileTest, RejectsNewerVersionsHugeSizesAndUnsafeSetNames)
{
    writeFile("v4.lvl", Bytes().u32s(4).text(sampleKinds()).s);
    EXPECT_TRUE(Level("v4.lvl").loadFailed());
    EXPECT_TRUE(Level("missing.lvl").loadFailed());

    // 65535 x 65535 x 255 announced, a few bytes present.
    Bytes huge;
    huge.u32s(2).text(sampleKinds());
    huge.u16s(0).u8s(0).u8s(0).u16s(0xFFFF).u16s(0xFFFF).u8s(255).u8s(0).u8s(1).u8s(0).u8s(0).u8s(1).u8s(0).u8s(1);
    huge.text(std::string(64, '\0'));
    writeFile("huge.lvl", huge.s);
    EXPECT_TRUE(Level("huge.lvl").loadFailed());

    // A map without a single tile, whichever of its three sizes is 0: the writer refuses it too.
    for (const auto& [width, height, layers] : {std::tuple<u16, u16, u8>{0, 3, 2}, {2, 0, 2}, {2, 3, 0}}) {
        Level empty(width, height, layers, 0, "cytok");
        EXPECT_EQ(empty.save("empty.lvl"), SaveResult::Failed);
        EXPECT_FALSE(pathExists("empty.lvl"));
        std::string file = sampleFile().erase(282, 12);  // well formed, but without tiles
        file[270] = char(height);  // the sizes the reader takes: B and C
        file[272] = char(width);
        file[274] = char(layers);
        writeFile("zero.lvl", file);
        Level level(1, 1, 1, 0, "cytok");
        EXPECT_FALSE(level.load("zero.lvl")) << width << "x" << height << "x" << int(layers);
        EXPECT_TRUE(level.loadFailed());
        std::vector<LevelObject*> objects;
        level.allObjects(objects);
        EXPECT_TRUE(objects.empty());
    }

    for (const std::string& name : {std::string("../x"), std::string("a/b"), std::string("a\\b"),
                                    std::string(".."), std::string(65, 'n')}) {
        std::string file = sampleFile();
        file.replace(4, 5, name);
        writeFile("name.lvl", file);
        EXPECT_TRUE(Level("name.lvl").loadFailed()) << name;
        EXPECT_EQ(Level(1, 1, 1, 0, name).save("named.lvl"), SaveResult::Failed) << name;
        EXPECT_FALSE(pathExists("named.lvl"));
    }
}

TEST_F(LevelFileTest, SaveReportsFailureAndCapsThePanCount)
{
    Level level(1, 1, 1, 0, "cytok");
    EXPECT_EQ(level.save("no-such-folder/x.lvl"), SaveResult::Failed);
    // Only a plain file is replaced: a pipe or a device stays what it is.
    ASSERT_EQ(mkfifo("pipe.lvl", 0600), 0);
    EXPECT_EQ(level.save("pipe.lvl"), SaveResult::Failed);
    EXPECT_EQ(std::filesystem::status("pipe.lvl").type(), std::filesystem::file_type::fifo);

    for (u32 f = 1; f <= 0x10000; ++f)
        level.addPanStep(f, 1, 0);
    ASSERT_EQ(level.panStepCount(), 0x10001u);
    ASSERT_EQ(level.save("long.lvl"), SaveResult::Saved);
    Level again("long.lvl");
    ASSERT_FALSE(again.loadFailed());
    EXPECT_EQ(again.panStepCount(), 0xFFFFu);
}

TEST_F(LevelFileTest, NewLevelDefaults)
{
    Level level(4, 3, 2, 1, "cytok");
    EXPECT_FALSE(level.loadFailed());
    EXPECT_EQ(level.kind(Tile(0)), 0);
    EXPECT_EQ(level.kind(Tile(0x21)), 1);
    EXPECT_EQ(level.cameraMode(), CameraPan);
    EXPECT_EQ(level.panStepCount(), 1u);
    EXPECT_EQ(level.panLength(), 90u);
    Level wide(300, 30, 3, 1, "cytok");
    int painted = 0;
    for (int c = 0; c < 300; ++c)
        for (int r = 0; r < 30; ++r)
            for (int l = 0; l < 3; ++l)
                painted += wide.tileAt(c, r, l) != 0;
    EXPECT_EQ(painted, 0) << "every tile of a new level is empty";
}

TEST(LevelData, TilesKindsAndOutside)
{
    Tile t(3, 2);
    EXPECT_EQ(t.raw(), 0x23);
    EXPECT_EQ(t.column(), 3);
    EXPECT_EQ(t.row(), 2);
    SDL_Rect r = Level::tileSourceRect(Tile(0x23));
    EXPECT_EQ((std::vector<int>{r.x, r.y, r.w, r.h}), (std::vector<int>{48, 32, 16, 16}));
}

TEST_F(LevelFileTest, OutsideTheMapIsTileZero)
{
    Level level(3, 2, 1, 0, "cytok");
    level.setKindRaw(0, 3);
    level.setTile(2, 1, 0, 0x45);
    level.setTile(3, 1, 0, 0x46);  // ignored
    EXPECT_EQ(level.tileAt(2, 1, 0), 0x45);
    EXPECT_EQ(level.tileAt(3, 1, 0), 0);
    EXPECT_EQ(level.tileAt(-1, 0, 0), 0);
    EXPECT_EQ(level.tileAt(0, 0, 1), 0);
    EXPECT_EQ(level.kindAt(-1, 0, 0), 3);
    SDL_Rect r = level.tileRect(2, 1, 0);
    EXPECT_EQ(r.x, 80);
    EXPECT_EQ(r.y, 64);
}

TEST_F(LevelFileTest, PanPathArithmetic)
{
    Level level(1, 1, 1, 0, "cytok");
    level.clearPan();
    EXPECT_EQ(level.panLength(), 0u);
    EXPECT_EQ(level.panDX(10), 0);
    level.addPanStep(100, 1, 0);
    EXPECT_EQ(level.panDX(99), 0);  // before the first step
    level.addPanStep(100, 5, 5);    // the existing step stays
    EXPECT_EQ(level.panDX(100), 1);
    level.addPanStep(300, 2, 0);
    EXPECT_EQ(level.panLength(), 390u);
    level.addPanStep(200, 17, -17);  // wraps in its byte: 136 -> -120, -136 -> 120
    EXPECT_EQ(level.panDX(250), -15);
    EXPECT_EQ(level.panDY(250), 15);
    level.truncatePan(200);
    EXPECT_EQ(level.panLength(), 290u);
}

TEST_F(LevelFileTest, PanDividesStoredEighthsTowardZero)
{
    Bytes b;
    b.u32s(2).text(sampleKinds());
    sampleGroups(b, 0, 2);
    b.text(sampleTiles()).u32s(0).u32s(0).u8s(1);
    b.u16s(2).u32s(0).u8s(u8(-12)).u8s(15).u32s(0).u8s(99).u8s(99).u32s(0);  // frame 0 repeats
    writeFile("pan.lvl", b.s);
    Level level("pan.lvl");
    ASSERT_FALSE(level.loadFailed());
    EXPECT_EQ(level.panStepCount(), 1u);
    EXPECT_EQ(level.panDX(0), -1);
    EXPECT_EQ(level.panDY(0), 1);
}

TEST_F(LevelFileTest, ObjectsInRectMeetStrictly)
{
    Level level(1, 1, 1, 0, "cytok");
    LevelObject* a = level.addObject(40000, 100, 100);
    level.addObject(40001, 300, 100);
    std::vector<LevelObject*> found;
    // Whatever the bounds of these ids, a rectangle far away never meets them.
    level.objectsInRect(found, 1000, 1000, 1100, 1100);
    EXPECT_TRUE(found.empty());
    level.removeObject(a);
    // A rectangle that ends where the bounds begin, on any side, does not meet them; one pixel more does.
    const ObjectBounds& b = objectBounds(40001);
    for (i32 more : {0, 1}) {
        for (const auto& [left, top, right, bottom] :
             {std::tuple{300 + b.right - more, -999, 999, 999}, {-999, 100 + b.bottom - more, 999, 999},
              {-999, -999, 300 + b.left + more, 999}, {-999, -999, 999, 100 + b.top + more}}) {
            std::vector<LevelObject*> met;
            level.objectsInRect(met, left, top, right, bottom);
            EXPECT_EQ(met.size(), size_t(more)) << left << " " << top << " " << right << " " << bottom;
        }
    }
    level.allObjects(found);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->x, 300);
}

TEST_F(LevelFileTest, MiniMapShowsTheTopmostKindAndObjects)
{
    Level level(3, 2, 2, 0, "cytok");
    level.setKindRaw(0x01, 3);
    level.setKindRaw(0x02, 2);
    level.setKindRaw(0x03, 7);
    level.setTile(0, 0, 0, 0x01);  // solid below
    level.setTile(0, 0, 1, 0x02);  // platform above wins
    level.setTile(1, 0, 0, 0x01);
    level.setTile(2, 0, 1, 0x03);
    level.addObject(0, 40, 20);  // cell (2, 1)
    SDL_Surface* map = level.miniMap(true);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->w, 3);
    ASSERT_EQ(map->h, 2);
    auto pixel = [&](int x, int y) {
        return static_cast<u32*>(map->pixels)[y * map->pitch / 4 + x] & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(0, 0), 0xFFFF00u);
    EXPECT_EQ(pixel(1, 0), 0x00FFFFu);
    EXPECT_EQ(pixel(2, 0), 0x000000u);
    EXPECT_EQ(pixel(0, 1), 0x000000u);
    EXPECT_EQ(pixel(2, 1), 0xFF0000u);

    // Drawn at (3, 1) on a wider surface, the rows still end at its bottom edge, not at x.
    SDL_Surface* wide = createSurface(6, 3);
    ASSERT_NE(wide, nullptr);
    level.drawMiniMap(3, 1, wide, true);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(getPixel(wide, u32(3 + c), u32(1 + r)) & 0xFFFFFF, pixel(c, r)) << c << "," << r;
    freeSurface(wide);

    // The kinds overlay of layer 0 drawn at (5, 2): solid symbols on cells (0, 0) and (1, 0) only.
    SDL_Surface* symbols = createSurface(4 * 16, 16);
    SDL_Surface* screen = createSurface(64, 20);  // wider than high: columns end at its width
    fillRect(symbols, 3 * 16, 0, 16, 16, 0xFFFFFF);
    level.drawKindsLayer(5, 2, screen, 0, symbols);
    EXPECT_EQ(getPixel(screen, 5 + 31, 2 + 15), 0xFFFFFFu);
    EXPECT_EQ(getPixel(screen, 5 + 32, 2) | getPixel(screen, 5, 2 + 16) | getPixel(screen, 4, 2), 0u);
    freeSurface(symbols);
    freeSurface(screen);
    freeSurface(map);
}

TEST_F(LevelFileTest, MiniMapOfALargeLevelShowsEveryCell)
{
    // Wider and taller than the blocks the map is built in, with edges that cut them.
    const int columns = 131, rows = 70, layers = 3;
    Level level(u16(columns), u16(rows), u8(layers), 1, "cytok");
    paintMixedKinds(level);
    level.addObject(0, 130 * 16 + 15, 69 * 16);
    level.addObject(0, 64 * 16, 64 * 16);
    level.addObject(0, -16, 0);            // left of the level: not shown
    level.addObject(0, columns * 16, 16);  // right of it or below it: not shown either
    level.addObject(0, 16, rows * 16);
    level.addObject(0, -5, 20 * 16);       // a few pixels left of or above it: divided toward zero,
    level.addObject(0, 30 * 16, -7);       // on the map's first column or row
    SDL_Surface* map = level.miniMap(true);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->w, columns);
    ASSERT_EQ(map->h, rows);
    auto expected = [&](int c, int r) -> u32 {
        if ((c == 130 && r == 69) || (c == 64 && r == 64) || (c == 0 && r == 20) || (c == 30 && r == 0))
            return 0xFF0000u;
        u8 shown = KindEmpty;
        for (int l = layers - 1; l >= 0 && shown == KindEmpty; --l)
            shown = level.kindAt(c, r, l);
        switch (shown) {
        case KindScenery: return 0x777777u;
        case KindPlatform: return 0xFFFF00u;
        case KindSolid: return 0x00FFFFu;
        case KindSlopeLeft:
        case KindSlopeRight: return 0x007777u;
        default: return 0;
        }
    };
    int wrong = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            wrong += (getPixel(map, u32(c), u32(r)) & 0xFFFFFF) != expected(c, r);
    EXPECT_EQ(wrong, 0);
    freeSurface(map);
}
