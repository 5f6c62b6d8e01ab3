#include "tests/story/demo_level_fixture.h"

#include "actors/box_overlap.h"
#include "actors/creatures/floating_turret.h"
#include "actors/creatures/mine.h"
#include "actors/creatures/spit_shot.h"
#include "actors/creatures/splecker.h"
#include "actors/creatures/wall_spitter.h"
#include "actors/dummy.h"
#include "actors/springfoot/springfoot.h"
#include "story/tutorial_mark.h"
#include "world/factory.h"
#include "world/level.h"
#include "world/objects/pillar.h"
#include "world/objects/marker.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr u16 FirstMarkerId = 33001;
constexpr u16 LastMarkerId = 33006;
constexpr u16 TurretId = 7, WallSpitterId = 9;
constexpr u16 WaterId = 4, LargeWaterId = 33;
constexpr u16 ChaserId = 1;  // its planner stops the game every second while in view
constexpr u16 LastTypeId = 0xFFFF;

// The type ids a new player must meet on the demo road, by the names the level source uses.
const std::map<u16, std::string> RoadKinds = {
    {0, "Dahlia"}, {4, "Water"}, {5, "Dummy"}, {6, "BreakBlock"}, {7, "Floating_Turret"}, {8, "Springfoot"},
    {9, "WallSpitter"}, {10, "Mine"}, {11, "Floating_BreakBlock"}, {12, "Splecker"}, {13, "Springfoot_Boss"},
    {14, "BossFight"}, {16, "Pillar"}, {17, "Pillar_Solid"}, {18, "Pillar_BossLock"}, {19, "Pillar_BossStairs"},
    {28, "Bird"}, {31, "Corpse_Sinker"}, {32, "Demo_Ending"}, {33, "Water_Large"}, {33001, "Tutorial_Motion"},
    {33002, "Tutorial_Shooting"}, {33003, "Tutorial_Stones"}, {33004, "Tutorial_Enemies"},
    {33005, "Tutorial_Splecker"}, {33006, "Tutorial_BossWarn"},
};

constexpr i32 CarryFeetY = 224;       // above every ledge and plank of the road
constexpr int SectionFrames = 2700;   // ninety seconds of play for one section
constexpr int TargetPracticeFrames = 600;  // twenty seconds: the bursts and their stones are over
constexpr i32 TileSize = 16;
constexpr i32 LongestRunUp = 64;      // the run before a gap that a take-off is tried from
constexpr int FairTakeOffFrames = 10; // a jump by feel at full run lands across from this many frames
constexpr i32 LegsHeight = 8;         // water drawn over more of her than this hides her
constexpr i32 SpitterMeeting = 96;    // she sees a wall spitter from this far
constexpr int SpitterCycle = 90;      // frames in which a wall spitter fires at least once
constexpr i32 SpitReach = 48;         // its shots fly at least this far toward her
constexpr i32 FiringFar = 112, FiringNear = 32;  // she jump-fires at a spitter from this far left of it
constexpr i32 TurretHomeReach = 100;  // a turret attacks her within this of its home
constexpr i32 FramedFeetY = 152;      // on the road her feet stand at least this far down the screen
constexpr int CameraSettleFrames = 45;
constexpr u8 BackLayer = 0;
constexpr i32 WidestPit = 6;          // tiles: the last pit, crossed on three stones

std::vector<LevelObject> placementsOf(u16 firstId, u16 lastId)
{
    Level level("demo.lvl");
    std::vector<LevelObject*> all;
    level.allObjects(all);
    std::vector<LevelObject> found;
    for (const LevelObject* o : all)
        if (o->type >= firstId && o->type <= lastId)
            found.push_back(*o);
    std::sort(found.begin(), found.end(), [](const LevelObject& a, const LevelObject& b) { return a.x < b.x; });
    return found;
}

// A stretch of columns with nothing at the foot of the level: she falls out there. Stones placed in
// it are objects, not tiles, and do not split it.
struct Gap {
    i32 left;
    i32 groundY;  // the top of the ground before it
    i32 runUp;    // the flat run before it, at most LongestRunUp
};

std::vector<Gap> gapsOnTheRoad()
{
    Level level("demo.lvl");
    const i32 layer = level.activeLayer(), bottom = level.height() - 1;
    auto open = [&](i32 column) { return level.kindAt(column, bottom, layer) == KindEmpty; };
    auto top = [&](i32 column) {  // of the ground, not of a plank above it
        i32 row = bottom;
        while (row > 0 && level.kindAt(column, row - 1, layer) >= KindPlatform)
            --row;
        return row * TileSize;
    };
    std::vector<Gap> gaps;
    for (i32 column = 1; column < level.width(); ++column) {
        if (!open(column) || open(column - 1))
            continue;
        Gap gap{column * TileSize, top(column - 1), 0};
        while (gap.runUp < LongestRunUp && top(column - 1 - gap.runUp / TileSize) == gap.groundY)
            gap.runUp += TileSize;
        gaps.push_back(gap);
    }
    return gaps;
}

// The demo level played by a script that does what the tutorial texts ask: run right, jump what
// stops her and every gap, fire all the time, aim up at turrets, jump at Spleckers' heads.
class DemoRoadTest : public DemoLevelTest {
protected:
    // The markers' speech boxes would stand the level still; the road is what is tested here.
    void frameWithoutTips()
    {
        frame();
        removeAll<Tutorial_Mark>();
    }

    // Carries her above the road in short hops, so that the camera scrolls there as in play and
    // streams the terrain in, then sets her down on the ground at x with full health.
    void carryTo(i32 x)
    {
        for (i32 at = heroine->x; at < x; at = std::min(at + 12, x)) {
            place(at, CarryFeetY);
            frameWithoutTips();
        }
        for (int i = 0; i < 90; ++i) {
            place(x, CarryFeetY);
            frameWithoutTips();
        }
        place(x, CarryFeetY);
        for (int i = 0; i < 60 && heroine->velY >= 0 && feet() < heroine->floorLimit; ++i)
            frameWithoutTips();
        frameWithoutTips();
        heroine->health = 100;
    }

    struct Drive {
        bool reached = false;
        int frames = 0;
    };

    // Plays the script until she is past goalX, dies or the time is up.
    Drive driveTo(i32 goalX)
    {
        Drive drive;
        bool jumpHeld = false;
        i32 bestX = heroine->x;
        int withoutHeadway = 0;
        for (; drive.frames < SectionFrames && !heroine->dead; ++drive.frames) {
            if (heroine->x >= goalX) {
                drive.reached = true;
                break;
            }
            Intent intent = decide(withoutHeadway);
            const bool pressJump = intent.jump && !jumpHeld;
            setControl(ControlRight, intent.right);
            setControl(ControlUp, intent.up);
            setControl(ControlB, true);
            setControl(ControlA, pressJump);
            jumpHeld = pressJump;
            frameWithoutTips();
            withoutHeadway = heroine->x > bestX ? 0 : withoutHeadway + 1;
            bestX = std::max(bestX, heroine->x);
        }
        fake_input::releaseAll();
        return drive;
    }

    // Runs at full speed from the start of the run-up toward the gap, pressing jump on the given
    // frame (never when negative), with the frame counter's parity fixed (gravity acts on even
    // frames, so the two parities give two arcs). True when she comes down beyond the near edge on
    // her feet; groundFrames counts the frames she ran on the ground before that.
    bool landsAcross(const Gap& gap, u32 parity, int jumpFrame, int* groundFrames)
    {
        place(gap.left - gap.runUp, gap.groundY);
        heroine->floorLimit = gap.groundY;
        if (world->frame() % 2 != parity)
            frameWithoutTips();
        heroine->health = 100;
        *groundFrames = 0;
        bool airborne = false;
        for (int f = 0; f < SectionFrames && feet() <= gap.groundY + TileSize; ++f) {
            setControl(ControlRight, true);
            setControl(ControlA, f == jumpFrame);
            frameWithoutTips();
            if (feet() < heroine->floorLimit)
                airborne = true;
            else if (airborne)
                break;
            else
                *groundFrames = f + 1;
        }
        fake_input::releaseAll();
        return feet() <= gap.groundY + TileSize && heroine->x >= gap.left;
    }

    // How many frames before the edge, counted back from the last one on the ground, a jump at
    // full run lands across, in the less lucky of the two gravity phases.
    int takeOffWindow(const Gap& gap)
    {
        carryTo(gap.left - gap.runUp);
        int window = SectionFrames;
        for (u32 parity = 0; parity < 2; ++parity) {
            int groundFrames = 0, ignored = 0;
            EXPECT_FALSE(landsAcross(gap, parity, -1, &groundFrames)) << "she runs across the gap at x " << gap.left;
            int run = 0;
            while (run < groundFrames && landsAcross(gap, parity, groundFrames - 1 - run, &ignored))
                ++run;
            window = std::min(window, run);
        }
        return window;
    }
};

} // namespace

// Every kind of placed object the game has but the Chaser is on the road; the markers stand in the
// order their texts teach, one of each.
TEST_F(DemoRoadTest, EveryPlaceableKindButTheChaserIsOnTheRoad)
{
    std::set<u16> types;
    for (const LevelObject& o : placementsOf(0, LastTypeId))
        types.insert(o.type);
    for (const auto& [id, name] : RoadKinds)
        EXPECT_TRUE(types.count(id)) << name << " (type " << id << ") is missing from demo.lvl";
    EXPECT_FALSE(types.count(ChaserId)) << "a Chaser is placed in demo.lvl";

    const std::vector<LevelObject> markers = placementsOf(FirstMarkerId, LastMarkerId);
    ASSERT_EQ(markers.size(), 6u);
    for (size_t i = 0; i < markers.size(); ++i)
        EXPECT_EQ(markers[i].type, FirstMarkerId + i) << "the marker " << i + 1 << " from the left";
}

// Each marker stands before the first of what its text announces, so the player reads it first.
TEST_F(DemoRoadTest, EachMarkerComesBeforeWhatItAnnounces)
{
    const std::map<u16, std::vector<u16>> announced = {
        {33002, {5}},              // the practice targets
        {33003, {6, 11}},          // stones that fall and stones that stay
        {33004, {7, 8, 9, 10}},    // turrets, Springfoots, wall spitters, mines
        {33005, {12}},             // Spleckers
        {33006, {13, 14}},         // the boss and its fight
    };
    const std::vector<LevelObject> placed = placementsOf(0, LastTypeId);
    for (const auto& [markerId, kinds] : announced) {
        const std::vector<LevelObject> marker = placementsOf(markerId, markerId);
        ASSERT_EQ(marker.size(), 1u);
        for (const LevelObject& o : placed) {
            const bool isAnnounced = std::find(kinds.begin(), kinds.end(), o.type) != kinds.end();
            EXPECT_TRUE(!isAnnounced || marker[0].x < o.x) << "marker " << markerId - 33000 << ", type " << o.type;
        }
    }
}

// The shooting marker invites her to hold fire and be ready to fight: running right holding fire
// from there bursts both practice targets and leaves her at least three quarters of her health.
TEST_F(DemoRoadTest, RunningAtTheTargetsHoldingFireKeepsHerHealth)
{
    const std::vector<LevelObject> shooting = placementsOf(FirstMarkerId + 1, FirstMarkerId + 1);
    ASSERT_EQ(shooting.size(), 1u);
    carryTo(shooting[0].x);
    fake_input::holdControl(0, ControlRight);
    fake_input::holdControl(0, ControlB);
    bool targetsSeen = false;
    for (int i = 0; i < TargetPracticeFrames; ++i) {
        frameWithoutTips();
        targetsSeen = targetsSeen || !all<Dummy>().empty();
    }
    fake_input::releaseAll();
    EXPECT_TRUE(targetsSeen);
    EXPECT_TRUE(all<Dummy>().empty()) << "both targets burst";
    EXPECT_GE(heroine->health, 75);
}

// A jump by feel at full run crosses every gap, landing on its far side or on the stones in it.
TEST_F(DemoRoadTest, EveryGapLeavesAFairTakeOffWindow)
{
    const std::vector<Gap> gaps = gapsOnTheRoad();
    ASSERT_GE(gaps.size(), 4u);
    for (const Gap& gap : gaps)
        EXPECT_GE(takeOffWindow(gap), FairTakeOffFrames) << "the gap at x " << gap.left;
}

// Water draws over what stands in it, so wherever the road crosses water, the highest floor there
// (a bridge, or the pool's bottom) keeps all but her legs above the water.
TEST_F(DemoRoadTest, NoWaterOnTheRoadCoversMoreThanHerLegs)
{
    Level level("demo.lvl");
    std::vector<LevelObject> pools = placementsOf(WaterId, WaterId), large = placementsOf(LargeWaterId, LargeWaterId);
    pools.insert(pools.end(), large.begin(), large.end());
    ASSERT_EQ(pools.size(), 2u);
    for (const LevelObject& pool : pools) {
        const ObjectArgs water = objectArgs(pool.type, pool.x, pool.y);
        ASSERT_GT(water.w, 0);
        for (i32 column = water.x / TileSize; column < (water.x + water.w) / TileSize; ++column) {
            i32 row = 0;
            while (row < level.height() && level.kindAt(column, row, level.activeLayer()) < KindPlatform)
                ++row;
            EXPECT_GE(water.y, row * TileSize - LegsHeight)
                << "the water placed at x " << pool.x << ", column " << column;
        }
    }
}

// Each wall spitter clings to the level's own rock (not a pillar), faces the way she comes, meets her
// at a distance, and its shots fly toward her through open air before anything stops them.
TEST_F(DemoRoadTest, EveryWallSpitterFacesHerApproach)
{
    const std::vector<LevelObject> placed = placementsOf(WallSpitterId, WallSpitterId);
    ASSERT_EQ(placed.size(), 2u);
    for (const LevelObject& p : placed) {
        carryTo(p.x - SpitterMeeting);
        const std::vector<WallSpitter*> spitters = all<WallSpitter>();
        auto near = [&](WallSpitter* s) { return std::abs(s->x - p.x) <= 16; };
        ASSERT_EQ(std::count_if(spitters.begin(), spitters.end(), near), 1) << "the spitter placed at x " << p.x;
        WallSpitter* spitter = *std::find_if(spitters.begin(), spitters.end(), near);
        ASSERT_TRUE(world->isAlive(spitter->wall)) << "the spitter placed at x " << p.x << " found no wall";
        EXPECT_EQ(dynamic_cast<Pillar*>(spitter->wall.object), nullptr) << "the spitter at x " << p.x;
        EXPECT_EQ(spitter->faceLeft, 1) << "the spitter at x " << p.x;
        const i32 centre = spitter->x + spitter->w / 2;
        for (const LevelObject& turret : placementsOf(TurretId, TurretId))
            EXPECT_TRUE(centre - FiringNear < turret.x - TurretHomeReach ||
                        centre - FiringFar > turret.x + TurretHomeReach)
                << "the turret at x " << turret.x << " reaches where she fights the spitter at x " << p.x;
        // She runs up to it without jumping: whatever stops her keeps her out of its sprite.
        i32 farthest = spitter->x;
        bool inside = false;
        fake_input::holdControl(0, ControlRight);
        for (int i = 0; i < SpitterCycle; ++i) {
            heroine->health = 100;
            frameWithoutTips();
            inside = inside || boxesOverlap(*heroine, *spitter);
            for (SpitShot* shot : all<SpitShot>())
                farthest = std::min(farthest, shot->spent ? farthest : shot->x);
        }
        fake_input::releaseAll();
        EXPECT_FALSE(inside) << "she runs into the spitter at x " << p.x;
        EXPECT_LE(farthest, spitter->x - SpitReach) << "the shots of the spitter at x " << p.x;
    }
}

// Below the road's ground the back layer holds earth behind every hollow and a shaft down every
// pit, and so does every pit below higher ground (a slot through a hill): a hollow no wider than
// the widest pit with ground at or above it on both sides. So the backdrop's sky never shows
// through the earth and a pit always reads as a drop.
TEST_F(DemoRoadTest, NoSkyShowsBelowTheRoadsGround)
{
    Level level("demo.lvl");
    const i32 groundRow = placementsOf(FirstMarkerId, FirstMarkerId).at(0).y / TileSize;
    auto solid = [&](i32 column, i32 row) { return level.kindAt(column, row, level.activeLayer()) >= KindSolid; };
    std::vector<i32> groundTop(size_t(level.width()), level.height());  // of the earth that reaches the foot
    for (i32 column = 0; column < level.width(); ++column)
        while (groundTop[size_t(column)] > 0 && solid(column, groundTop[size_t(column)] - 1))
            --groundTop[size_t(column)];
    auto belowGround = [&](i32 column, i32 row) { return row >= groundTop[size_t(column)]; };
    for (i32 row = 0; row < level.height(); ++row)
        for (i32 column = 0; column < level.width(); ++column) {
            if (solid(column, row))
                continue;
            i32 left = column, right = column;
            while (left >= 0 && !solid(left, row))
                --left;
            while (right < level.width() && !solid(right, row))
                ++right;
            const bool pit = left >= 0 && right < level.width() && right - left - 1 <= WidestPit &&
                             belowGround(left, row) && belowGround(right, row);
            if (row >= groundRow || pit) {
                EXPECT_NE(level.kindAt(column, row, BackLayer), KindEmpty) << "column " << column << ", row " << row;
            }
        }
}

// A turret hovers 100 pixels above her middle: walking under it across all of its reach, she keeps
// its whole box inside the view, and no Springfoot comes at her there.
TEST_F(DemoRoadTest, EveryTurretStaysInViewWhileSheWalksUnderIt)
{
    const std::vector<LevelObject> placed = placementsOf(TurretId, TurretId);
    ASSERT_EQ(placed.size(), 2u);
    for (const LevelObject& p : placed) {
        carryTo(p.x - 2 * TurretHomeReach);  // out of its reach, so that it waits at home
        int framesUnder = 0, framesOutOfView = 0, framesWithSpringfoots = 0;
        fake_input::holdControl(0, ControlRight);
        for (int i = 0; i < SectionFrames && centreX() <= p.x + TurretHomeReach; ++i) {
            heroine->health = 100;
            frameWithoutTips();
            for (Floating_Turret* t : all<Floating_Turret>()) {
                if (t->homeX != p.x || std::abs(centreX() - p.x) > TurretHomeReach)
                    continue;
                ++framesUnder;
                framesWithSpringfoots += !all<Springfoot>().empty();
                framesOutOfView += t->x < world->cameraX || t->y < world->cameraY ||
                                   t->x + t->w > world->cameraX + 320 || t->y + t->h > world->cameraY + 240;
            }
        }
        fake_input::releaseAll();
        EXPECT_GT(centreX(), p.x + TurretHomeReach) << "she walked past the turret at x " << p.x;
        EXPECT_GT(framesUnder, 0) << "the turret at x " << p.x << " was there";
        EXPECT_EQ(framesOutOfView, 0) << "frames in which the turret at x " << p.x << " left the view";
        EXPECT_EQ(framesWithSpringfoots, 0) << "frames in which Springfoots joined the turret at x " << p.x;
    }
}

class DemoRoadSectionTest : public DemoRoadTest, public testing::WithParamInterface<size_t> {};

// From a marker, with full health, the script gets her to the next one alive: every section can
// be crossed with the moves the markers teach, and no marker respawns her into harm.
TEST_P(DemoRoadSectionTest, FromItsMarkerTheScriptReachesTheNext)
{
    const std::vector<LevelObject> markers = placementsOf(FirstMarkerId, LastMarkerId);
    ASSERT_EQ(markers.size(), 6u);
    const size_t section = GetParam();
    carryTo(markers[section].x);
    for (int i = 0; i < CameraSettleFrames; ++i)
        frameWithoutTips();
    EXPECT_GE(feet() - world->cameraY, FramedFeetY) << "her feet on the screen at the marker";
    const Drive drive = driveTo(markers[section + 1].x);
    EXPECT_TRUE(drive.reached) << "stopped at x " << heroine->x << " after " << drive.frames << " frames, health "
                               << heroine->health;
    EXPECT_FALSE(heroine->dead);
}

INSTANTIATE_TEST_SUITE_P(Sections, DemoRoadSectionTest, testing::Range(size_t(0), size_t(5)));
