#include "tests/story/demo_level_fixture.h"

#include "actors/creatures/floating_turret.h"
#include "actors/creatures/mine.h"
#include "actors/creatures/splecker.h"
#include "actors/dummy.h"
#include "story/tutorial_mark.h"
#include "world/level.h"
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

constexpr i32 CarryFeetY = 160;       // above every ledge and plank of the road
constexpr int SectionFrames = 2700;   // ninety seconds of play for one section
constexpr int StuckFrames = 6;        // frames without headway before she jumps
constexpr i32 GapProbeAhead = 4;      // how far past her leading edge she looks for ground
constexpr i32 MineJumpDistance = 36;  // a running jump from here clears the mine
constexpr i32 SpleckerStand = 96;     // she stops this far from a living Splecker and jumps to fire
constexpr i32 TurretReach = 40;       // a turret this close on either side is shot from below
constexpr int TargetPracticeFrames = 600;  // twenty seconds: the bursts and their stones are over

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

// The demo level played by a script that does what the tutorial texts ask: run right, jump what
// stops her and every gap, fire all the time, aim up at turrets, jump at Spleckers' heads.
class DemoRoadTest : public DemoLevelTest {
protected:
    i32 centreX() const { return heroine->x + heroine->w / 2; }

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

    template <class T> T* nearestAhead(i32 within, bool (*alive)(T*))
    {
        T* best = nullptr;
        for (T* t : all<T>()) {
            const i32 ahead = t->x + t->w / 2 - centreX();
            if (alive(t) && ahead > -8 && ahead < within && (!best || t->x < best->x))
                best = t;
        }
        return best;
    }

    bool groundAhead()
    {
        Marker probe;
        probe.setBox(heroine->x + heroine->w + GapProbeAhead, feet(), 4, 12);
        return probe.isBlocked(world.get(), true);
    }

    bool turretOverhead()
    {
        for (Floating_Turret* t : all<Floating_Turret>())
            if (!t->dead && std::abs(t->x + 8 - centreX()) < TurretReach && t->y < heroine->y)
                return true;
        return false;
    }

    // The script's controls for this frame.
    struct Intent {
        bool right = true;
        bool up = false;
        bool jump = false;
    };

    Intent decide(int framesWithoutHeadway)
    {
        Intent intent;
        const bool standing = heroine->velY == 0 && feet() >= heroine->floorLimit;
        Splecker* splecker =
            nearestAhead<Splecker>(SpleckerStand + 8, [](Splecker* s) { return !s->dead && s->neck != 0; });
        Mine* mine = nearestAhead<Mine>(MineJumpDistance, [](Mine* m) { return m->health > 0; });
        intent.right = !splecker || splecker->x - centreX() > SpleckerStand;
        intent.up = turretOverhead();
        intent.jump = standing && (framesWithoutHeadway >= StuckFrames || !groundAhead() || mine ||
                                   (splecker && heroine->velX == 0));
        return intent;
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

    void setControl(u8 control, bool held)
    {
        if (held)
            fake_input::holdControl(0, control);
        else
            fake_input::releaseControl(0, control);
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

class DemoRoadSectionTest : public DemoRoadTest, public testing::WithParamInterface<size_t> {};

// From a marker, with full health, the script gets her to the next one alive: every section can
// be crossed with the moves the markers teach, and no marker respawns her into harm.
TEST_P(DemoRoadSectionTest, FromItsMarkerTheScriptReachesTheNext)
{
    const std::vector<LevelObject> markers = placementsOf(FirstMarkerId, LastMarkerId);
    ASSERT_EQ(markers.size(), 6u);
    const size_t section = GetParam();
    carryTo(markers[section].x);
    const Drive drive = driveTo(markers[section + 1].x);
    EXPECT_TRUE(drive.reached) << "stopped at x " << heroine->x << " after " << drive.frames << " frames, health "
                               << heroine->health;
    EXPECT_FALSE(heroine->dead);
}

INSTANTIATE_TEST_SUITE_P(Sections, DemoRoadSectionTest, testing::Range(size_t(0), size_t(5)));
