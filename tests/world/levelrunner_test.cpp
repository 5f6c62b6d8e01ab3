#include <gtest/gtest.h>

#include "core/message.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sdl_env.h"
#include "world/factory.h"
#include "world/level.h"
#include "world/levelrunner.h"
#include "world/systphysical.h"
#include "world/terrain/terrainblocks.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr u16 CrateId = 29;  // an id with no class of its own

class Crate : public Physical {
public:
    Crate(i32 x, i32 y, LevelRunner* forgetIn = nullptr) : Physical(0, x, y, 10, 10, 0), forgetIn(forgetIn) {}
    // One given a runner asks it to stop streaming it as it is added.
    void onAdd() override
    {
        if (forgetIn)
            forgetIn->forget(this);
    }
    LevelRunner* forgetIn;
};

Physical* makeCrate(const ObjectArgs& a)
{
    return new Crate(a.x, a.y);
}

class Walker : public Physical, public Player {
public:
    Walker(i32 cx, i32 cy) : Physical(FlagPlayer, 0, 0, 0, 0, 0), cx(cx), cy(cy) {}
    i32 centerX() override { return cx; }
    i32 centerY() override { return cy; }
    i32 cx, cy;
};

class LevelRunnerTest : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        savedCrate = registerObjectClass(CrateId, makeCrate);
        savedBackdrop = setLevelBackdropMaker(nullptr);
        forgetObjectBounds();
    }
    void TearDown() override
    {
        delete sys;
        registerObjectClass(CrateId, savedCrate);
        setLevelBackdropMaker(savedBackdrop);
        forgetObjectBounds();
        SdlTest::TearDown();
    }

    // A level of solid ground in every cell, or empty; tile 1 is solid.
    static std::unique_ptr<Level> makeLevel(u16 width, u16 height, bool filled)
    {
        auto made = std::make_unique<Level>(width, height, 1, 0, "cytok");
        Level& level = *made;
        level.setKindRaw(1, KindSolid);
        if (filled) {
            for (int c = 0; c < width; ++c)
                for (int r = 0; r < height; ++r)
                    level.setTile(c, r, 0, 1);
        }
        return made;
    }

    void start(Level& level, bool pan = false)
    {
        level.save("test.lvl");
        delete sys;  // a test may start several levels in turn
        sys = new SystPhysical;
        runner = new LevelRunner("test.lvl");
        if (pan)
            runner->usePanCamera();
        sys->add(runner);
    }

    // Returns where the camera is then.
    std::vector<i32> run(int frames)
    {
        for (int i = 0; i < frames; ++i)
            sys->update();
        return {sys->cameraX, sys->cameraY};
    }

    // The cells the terrain blocks stand on: first column, first row, last column, last row, count.
    std::vector<i32> blockCells()
    {
        std::vector<i32> cells{1 << 30, 1 << 30, -(1 << 30), -(1 << 30), 0};
        for (Physical* p = sys->firstOfType(FlagBlock); sys->hasMoreOfType(); p = sys->nextOfType())
            cells = {std::min(cells[0], p->x / 16), std::min(cells[1], p->y / 16), std::max(cells[2], p->x / 16),
                     std::max(cells[3], p->y / 16), cells[4] + 1};
        return cells;
    }

    int blocksInColumn(i32 x)
    {
        int n = 0;
        for (Physical* p = sys->firstOfType(FlagBlock); sys->hasMoreOfType(); p = sys->nextOfType())
            n += p->x == x;
        return n;
    }

    // Blocks the runner does not track, blocks sharing a cell of a layer, and, after a pass,
    // blocks outside the window: none may be left.
    size_t untidyBlocks()
    {
        std::set<std::tuple<i32, i32, i32>> cells;
        const i32 cx = sys->cameraX, cy = sys->cameraY;
        const bool afterPass = sys->frame() % 16 == 1;
        size_t blocks = 0, untidy = 0;
        for (Physical* p = sys->firstOfType(FlagAll); sys->hasMoreOfType(); p = sys->nextOfType()) {
            if (!dynamic_cast<GraphicBlock*>(p))
                continue;
            ++blocks;
            untidy += !cells.insert({p->x, p->y, p->depth}).second;
            untidy += afterPass && (p->x > cx + 384 || p->x + 16 < cx - 64 || p->y > cy + 304 || p->y + 16 < cy - 64);
        }
        return untidy + blocks - runner->streamedBlockCount();
    }

    int crates()
    {
        int n = 0;
        for (Physical* p = sys->firstOfType(FlagAll); sys->hasMoreOfType(); p = sys->nextOfType())
            n += dynamic_cast<Crate*>(p) != nullptr;
        return n;
    }

    ScratchDir scratch;
    SystPhysical* sys = nullptr;
    LevelRunner* runner = nullptr;
    ObjectCreator savedCrate = nullptr;
    LevelPartMaker savedBackdrop = nullptr;
};

} // namespace

TEST(CameraFollow, StepArithmetic)
{
    EXPECT_EQ(cameraFollowStep(340, 160), 180);
    EXPECT_EQ(cameraFollowStep(160, 160), 14);
    EXPECT_EQ(cameraFollowStep(-160, 160), -14);
    EXPECT_EQ(cameraFollowStep(11, 160), 1);
    EXPECT_EQ(cameraFollowStep(-11, 160), -1);
    EXPECT_EQ(cameraFollowStep(0, 120), 0);
    EXPECT_EQ(cameraFollowStep(-121, 120), -1);
}

TEST_F(LevelRunnerTest, CameraJumpsThenEasesTowardThePlayer)
{
    auto made = makeLevel(100, 30, false);
    Level& level = *made;
    start(level);
    auto* walker = new Walker(500, 300);
    sys->add(walker);
    run(2);  // the runner's first update is in the second frame
    EXPECT_EQ(sys->cameraX, 180);
    EXPECT_EQ(sys->cameraY, 60);
    run(1);
    EXPECT_EQ(sys->cameraX, 194);

    walker->cx = 100;   // near the left edge: the target is 0
    walker->cy = 1000;  // below the bottom edge: the target is 30 * 16 - 240
    run(1);
    EXPECT_EQ(sys->cameraY, 120);
    run(40);
    EXPECT_EQ(sys->cameraX, 0);
    EXPECT_EQ(sys->cameraY, 240);
}

TEST_F(LevelRunnerTest, NarrowLevelSettlesLeftOfZero)
{
    auto made = makeLevel(10, 30, false);
    Level& level = *made;
    start(level);
    sys->add(new Walker(80, 100));
    run(2);
    EXPECT_EQ(sys->cameraX, -14);
    // A centre 100 pixels down keeps the camera on the level's top edge.
    EXPECT_EQ(run(60), (std::vector<i32>{-160, 0}));
}

TEST_F(LevelRunnerTest, CameraFocusCreepsOnePixelPerAxis)
{
    auto made = makeLevel(100, 30, false);
    Level& level = *made;
    start(level);
    sys->add(new Walker(1000, 100));
    sys->add(new Physical(FlagCameraFocus, 300, 50, 4, 4, 0));
    run(2);
    EXPECT_EQ(sys->cameraX, 1);
    EXPECT_EQ(sys->cameraY, -1);
    run(3);
    EXPECT_EQ(sys->cameraX, 4);
    EXPECT_EQ(sys->cameraY, -4);
    // Each axis stops where the focus's corner sits at the screen's centre, and stays there.
    for (int frames : {200, 1})
        EXPECT_EQ(run(frames), (std::vector<i32>{140, -70}));
}

TEST_F(LevelRunnerTest, PanCameraFollowsThePath)
{
    auto made = makeLevel(100, 30, false);
    Level& level = *made;
    level.clearPan();
    level.addPanStep(0, -1, 0);
    level.addPanStep(5, 0, 2);
    level.setStartCamera(50, 60);
    start(level, true);
    sys->add(new Walker(1000, 1000));  // ignored while panning
    run(1);
    EXPECT_EQ(sys->cameraX, 50);
    run(4);  // frames 1-4
    EXPECT_EQ(sys->cameraX, 46);
    EXPECT_EQ(sys->cameraY, 60);
    run(2);  // frames 5-6
    EXPECT_EQ(sys->cameraX, 46);
    EXPECT_EQ(sys->cameraY, 64);
}

TEST_F(LevelRunnerTest, BuildsTheBlockWindowAndDropsFarBlocksEverySixteenFrames)
{
    auto made = makeLevel(100, 30, true);
    Level& level = *made;
    level.clearPan();
    level.addPanStep(0, 1, 0);
    start(level, true);
    // Columns 0..24 (to 384) and rows 0..19 (to 304) around a camera at (0, 0).
    EXPECT_EQ(runner->streamedBlockCount(), 25u * 20u);
    run(1);
    EXPECT_EQ(blocksInColumn(0), 20);
    EXPECT_EQ(blocksInColumn(384), 20);
    EXPECT_EQ(blocksInColumn(400), 0);
    run(95);  // camera at 95: column 0 is 80 pixels off screen but stays until frame 96
    EXPECT_EQ(sys->cameraX, 95);
    EXPECT_EQ(blocksInColumn(0), 20);
    EXPECT_EQ(blocksInColumn(464), 20);
    run(1);
    EXPECT_EQ(blocksInColumn(0), 0);
    EXPECT_EQ(blocksInColumn(16), 20);

    // A camera moved by someone else (a shake) streams in like the runner's own moves: held 80
    // pixels left over a pass that drops far blocks, then put back, it finds its whole window built.
    sys->cameraX -= 80;
    run(16);
    sys->cameraX += 80;
    run(1);
    for (i32 x = (sys->cameraX - 64) / 16 * 16; x <= sys->cameraX + 384; x += 16)
        EXPECT_EQ(blocksInColumn(x), 20) << "column " << x / 16;
    run(450);  // far from the start: what the camera left behind stays dropped
    EXPECT_GE(blockCells()[0], (sys->cameraX - 64) / 16 - 2);

    // Left of or above the level (a pan may start there), a window whose edge lies a few pixels
    // short of x = 0 or y = 0 holds no part of column 0 or row 0: none is built there, and once the
    // camera comes close, it is.
    for (const std::vector<i32>& approach : {std::vector<i32>{-390, 0, -10, 0, 23, 19}, {0, -310, 0, -10, 24, 18}}) {
        run((12 + 16 - sys->frame() % 16) % 16);
        sys->cameraX = approach[0];
        sys->cameraY = approach[1];
        run(1);
        EXPECT_EQ(blockCells()[4], 0);
        run(4);  // the fourth frame after drops far blocks
        sys->cameraX = approach[2];
        sys->cameraY = approach[3];
        run(1);
        const i32 lastColumn = approach[4], lastRow = approach[5];
        EXPECT_EQ(blockCells(), (std::vector<i32>{0, 0, lastColumn, lastRow, (lastColumn + 1) * (lastRow + 1)}));
    }
}

// Short moves on the frames of a pass, a jump across the level, and a looper carrying the whole
// world back: every block stays tracked and single, and only the window where the camera lands is built.
TEST_F(LevelRunnerTest, MovesFromOutsideKeepEveryBlockTrackedAndSingle)
{
    auto made = makeLevel(200, 30, true);
    Level& level = *made;
    level.clearPan();
    level.addPanStep(0, 1, 0);
    for (i32 x : {1800, 2600})
        level.addObject(CrateId, x, 100);
    level.addObject(30, 1408, 120);  // a looper: its wrap takes the world back 1408 pixels
    start(level, true);
    auto runTidily = [&](int frames, i32 moveFromOutside) {
        for (int frame = 0; frame < frames; ++frame) {
            sys->cameraX += moveFromOutside;
            run(1);
            ASSERT_EQ(untidyBlocks(), 0u) << "frame " << frame << " at " << sys->cameraX;
        }
    };
    runTidily(20, 48);
    sys->cameraX = 2400;
    run(1);
    EXPECT_EQ(blockCells(), (std::vector<i32>{146, 0, 174, 19, 580}));
    EXPECT_EQ(crates(), 1);
    sys->cameraX = 1000;
    runTidily(130, 0);
    EXPECT_EQ(sys->cameraX, 1000 + 130 - 1408);
    sys->cameraX = 1000;  // where the world stood before the wrap: built anew
    run(1);
    EXPECT_EQ(blockCells(), (std::vector<i32>{58, 0, 86, 19, 580}));
}

// Every edge of both windows crosses a tile line on the first or the last of 16 diagonal steps;
// the last is also a frame that drops far blocks, before it builds the strips it has just exposed.
TEST_F(LevelRunnerTest, DiagonalMovesStreamEveryEdgeOfBothWindows)
{
    struct Move {
        i32 x, y, dx, dy;
        std::vector<i32> cells;
    };
    for (const Move& m : {Move{480, 320, 1, 1, {26, 16, 55, 40, 749}}, Move{511, 351, -1, -1, {26, 16, 55, 39, 697}},
                          Move{320, 511, 1, -1, {16, 26, 45, 49, 720}}, Move{512, 320, -1, 1, {27, 16, 55, 40, 725}}}) {
        auto made = makeLevel(300, 300, true);  // wider and taller than a byte counts
        Level& level = *made;
        level.clearPan();
        level.addPanStep(0, i8(m.dx), i8(m.dy));
        level.setStartCamera(u32(m.x), u32(m.y));
        // Crates one pixel inside and just beyond the object window's edges: the start window's
        // trailing edges, the leading edges at the end, and the far side of each new strip.
        auto inside = [](i32 camera, i32 d, i32 screen) { return d > 0 ? camera + screen + 31 : camera - 41; };
        const i32 fx = m.x + 16 * m.dx, fy = m.y + 16 * m.dy;
        for (i32 beyond : {0, 1}) {
            level.addObject(CrateId, inside(m.x, -m.dx, 320) - beyond * m.dx, m.y + 100);
            level.addObject(CrateId, m.x + 100, inside(m.y, -m.dy, 240) - beyond * m.dy);
            level.addObject(CrateId, inside(fx, m.dx, 320), inside(fy, -m.dy, 240) - beyond * m.dy);
            level.addObject(CrateId, inside(fx - m.dx, -m.dx, 320), inside(fy, m.dy, 240) + beyond * m.dy);
        }
        start(level, true);
        EXPECT_EQ(run(17), (std::vector<i32>{fx, fy}));
        EXPECT_EQ(blockCells(), m.cells) << m.dx << "," << m.dy;
        EXPECT_EQ(crates(), 4) << m.dx << "," << m.dy;
    }
}

TEST_F(LevelRunnerTest, CrossingBackDoesNotBuildAColumnTwice)
{
    auto made = makeLevel(100, 30, true);
    Level& level = *made;
    level.clearPan();
    level.addPanStep(0, 1, 0);
    level.addPanStep(10, -1, 0);
    level.setStartCamera(200, 0);
    start(level, true);
    run(13);  // right to 209, back to 206: the left edge crosses column 8 again
    EXPECT_EQ(sys->cameraX, 206);
    EXPECT_EQ(blocksInColumn(128), 20);
    EXPECT_EQ(blocksInColumn(112), 0);

    // Once dropped, a cell is built again when it comes back.
    runner->despawnOutside(1000, 0, 2000, 400);
    run(1);
    EXPECT_EQ(blocksInColumn(128), 0);
    runner->buildBlocks(8, 0);
    runner->buildBlocks(8, 0);
    run(1);
    EXPECT_EQ(blocksInColumn(128), 1);
}

TEST_F(LevelRunnerTest, LayersAndKindsMakeTheirBlocks)
{
    Level level(3, 1, 3, 1, "cytok");
    level.setKindRaw(1, KindScenery);
    level.setKindRaw(2, KindPlatform);
    level.setKindRaw(3, KindSlopeLeft);
    level.setKindRaw(4, KindSlopeRight);
    level.setKindRaw(5, 9);  // no block on the active layer
    level.setTile(0, 0, 0, 2);  // behind: picture only, depth 10
    level.setTile(0, 0, 1, 2);  // active: platform
    level.setTile(0, 0, 2, 3);  // in front: picture only, depth -10
    level.setTile(1, 0, 1, 4);
    level.setTile(2, 0, 1, 5);
    level.setTile(2, 0, 2, 5);
    start(level);
    run(1);
    std::vector<std::string> seen;
    for (Physical* p = sys->firstOfType(FlagAll); sys->hasMoreOfType(); p = sys->nextOfType()) {
        std::string kind = dynamic_cast<ThroughBlock*>(p)       ? "through"
                           : dynamic_cast<SlopeBlock_Right*>(p) ? "right"
                           : dynamic_cast<GraphicBlock*>(p)     ? "picture"
                                                                : "other";
        seen.push_back(kind + "@" + std::to_string(p->x) + "," + std::to_string(p->depth));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"other@0,10000", "picture@0,10", "through@0,-1", "right@16,-1",
                                              "picture@0,-10", "picture@32,-10"}));
}

TEST_F(LevelRunnerTest, ObjectsSpawnOnceWhenTheirBoundsComeNear)
{
    auto made = makeLevel(100, 30, false);
    Level& level = *made;
    level.clearPan();
    level.addPanStep(0, 1, 0);
    level.addObject(CrateId, 360, 100);  // 40 pixels right of the screen
    level.addObject(CrateId, 100, 100);  // on screen
    start(level, true);
    run(1);
    EXPECT_EQ(crates(), 1);
    run(8);
    EXPECT_EQ(sys->cameraX, 8);
    EXPECT_EQ(crates(), 1);
    run(1);
    EXPECT_EQ(crates(), 2);
    std::vector<LevelObject*> left;
    runner->level()->allObjects(left);
    EXPECT_TRUE(left.empty());
}

TEST_F(LevelRunnerTest, PlacementsWithoutAClassAreDroppedOnce)
{
    registerObjectClass(CrateId, nullptr);
    ObjectCreator fallback = registerDefaultObject(nullptr);
    auto made = makeLevel(20, 20, false);
    Level& level = *made;
    level.addObject(CrateId, 100, 100);
    start(level);
    std::vector<LevelObject*> left;
    runner->level()->allObjects(left);
    EXPECT_TRUE(left.empty());
    registerDefaultObject(fallback);
}

TEST_F(LevelRunnerTest, SpawnedObjectsLeaveWithFarTerrainUnlessForgotten)
{
    auto made = makeLevel(100, 30, false);
    Level& level = *made;
    start(level);
    auto* added = new Crate(2000, 0);
    auto* near = new Crate(100, 100);
    auto* far = new Crate(1000, 100);
    auto* forgotten = new Crate(1200, 100);
    auto* dying = new Crate(120, 100);
    runner->addObject(added);
    runner->spawn(near);
    runner->spawn(added);  // refused: it has its system already, and files nothing
    runner->spawn(far);
    runner->spawn(forgotten);
    runner->spawn(dying);
    runner->spawn(new Crate(1300, 100, runner));
    runner->forget(forgotten);
    EXPECT_EQ(added->owner, sys);
    EXPECT_EQ(forgotten->owner, sys);
    EXPECT_EQ(runner->streamedBlockCount(), 3u);
    run(1);
    EXPECT_EQ(crates(), 6);
    dying->removeSelf();  // gone before the despawn pass looks at it
    run(1);

    runner->despawnOutside(-64, -64, 384, 304);
    run(1);
    std::vector<i32> left;
    for (Physical* p = sys->firstOfType(FlagAll); sys->hasMoreOfType(); p = sys->nextOfType()) {
        if (dynamic_cast<Crate*>(p))
            left.push_back(p->x);
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<i32>{100, 1200, 1300, 2000}));
    EXPECT_EQ(runner->streamedBlockCount(), 1u);
}

TEST_F(LevelRunnerTest, MissingLevelBuildsNothing)
{
    sys = new SystPhysical;
    runner = new LevelRunner("no-such.lvl");
    sys->add(runner);
    run(20);
    EXPECT_TRUE(runner->level()->loadFailed());
    EXPECT_EQ(runner->streamedBlockCount(), 0u);
    EXPECT_EQ(sys->objectCount(), 1u);
}

namespace {
std::vector<std::string> started;
struct Marked : Physical {
    explicit Marked(const char* name) { started.push_back(name); }
};
Physical* makeHud() { return new Marked("hud"); }
Physical* makeSky() { return new Marked("sky"); }
} // namespace

TEST_F(LevelRunnerTest, StartLevelAddsRunnerSkyAndHudInOrderOrLeavesALevelItCannotLoad)
{
    auto made = makeLevel(20, 15, false);
    Level& level = *made;
    level.save("test.lvl");
    LevelPartMaker savedHud = setLevelHudMaker(makeHud);
    static SystPhysical* left = nullptr;
    LevelLeaver savedLeaver = setLevelLeaver([](SystPhysical* leaving) { left = leaving; });
    setLevelBackdropMaker(makeSky);
    started.clear();
    sys = new SystPhysical;
    sys->startLevel("test.lvl");
    EXPECT_EQ(started, (std::vector<std::string>{"sky", "hud"}));
    run(1);
    EXPECT_EQ(sys->objectCount(), 3u);
    EXPECT_NE(sys->firstOfType(FlagLevelDriver), nullptr);

    // Cut short, the file is told of and the level left: no display comes.
    std::filesystem::resize_file("test.lvl", 40);
    started.clear();
    SystPhysical unloadable;
    unloadable.startLevel("test.lvl");
    setLevelHudMaker(savedHud);
    setLevelLeaver(savedLeaver);
    EXPECT_EQ(lastMessageShown(), "ERROR: FAILED TO LOAD LEVEL: \n'test.lvl'");
    EXPECT_EQ(left, &unloadable);
    EXPECT_EQ(started, std::vector<std::string>{"sky"});
}
