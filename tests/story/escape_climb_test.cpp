#include "tests/story/demo_level_fixture.h"

#include "actors/bossfight.h"
#include "actors/follower.h"
#include "actors/springfoot/springfoot_boss.h"
#include "story/demo_ending.h"
#include "story/tutorial_mark.h"
#include "world/level.h"
#include "world/objects/pillar_bossstairs.h"

#include <algorithm>
#include <vector>

namespace {

// The boss arena at the end of the demo level, as laid out in levels/demo.txt.
constexpr i32 ArenaEntryX = 5320;      // inside the gate
constexpr i32 DoorwayFeetY = 232;      // between the gate's lintel and the arena floor
constexpr i32 ArenaFloorY = 272;
constexpr i32 ApproachY = 304;         // the road's ground outside the gate
constexpr i32 GatePillarRight = 5312;  // the raised lock-in pillar closes the arena on the left
constexpr i32 FirstShelfX = 5472;      // the floor ends at the face of the first stone shelf
constexpr i32 MaxStepRise = 33;        // her lower jump rises 36 pixels
constexpr i32 CliffX = 5552;
constexpr i32 CliffTopY = 112;
constexpr int ClimbFrames = 600;       // twenty seconds of play
constexpr int AllowedFallsToFloor = 3;
constexpr u16 BossFightId = 14, DemoEndingId = 32;
// The boss's shakes move the camera up to 8 pixels a frame and it creeps back one: in a fight its
// walk strays more than 40 pixels from the arena's view about once in a thousand.
constexpr i32 ShakeReach = 48;

// The one placement of the type in the demo level; type 0 when there is none.
LevelObject placedOnce(u16 type)
{
    Level level("demo.lvl");
    std::vector<LevelObject*> placed;
    level.allObjects(placed);
    auto found = std::find_if(placed.begin(), placed.end(), [&](LevelObject* o) { return o->type == type; });
    return found == placed.end() ? LevelObject{0, 0, 0} : **found;
}

class EscapeClimbTest : public DemoLevelTest {
protected:
    void frameWithoutBossOrTips()
    {
        frame();
        removeAll<Springfoot_Boss>();
        removeAll<Tutorial_Mark>();
    }

    // Carries her over the level to the arena gate in short hops, so the camera scrolls there as in
    // play and streams terrain in ahead of the objects that stand on it. The boss is taken out as
    // soon as it appears: the fight then ends at once and cues the escape pillars itself. The
    // tutorial marks go too, as their text boxes would stand the level still.
    void carryIntoArena()
    {
        for (i32 x = heroine->x; x < ArenaEntryX; x = std::min(x + 8, ArenaEntryX)) {
            place(x, DoorwayFeetY);
            frameWithoutBossOrTips();
        }
        place(ArenaEntryX, DoorwayFeetY);
    }

    // Runs until the fight is over and every escape pillar has stopped growing.
    bool waitForRaisedStairs()
    {
        bool fightSeen = false;
        for (int i = 0; i < 1200; ++i) {
            frameWithoutBossOrTips();
            const bool fightOn = !all<BossFight>().empty();
            fightSeen = fightSeen || fightOn;
            if (fightSeen && !fightOn && stairsStill())
                return true;
        }
        return false;
    }

    bool stairsStill()
    {
        std::vector<Pillar_BossStairs*> stairs = all<Pillar_BossStairs>();
        return !stairs.empty() && std::all_of(stairs.begin(), stairs.end(), [](Pillar_BossStairs* p) {
                   return p->h == p->targetHeight && p->h > 1;
               });
    }

    // Carries her back down to the arena floor in short hops, so that the camera follows: the view
    // bounds where she may be. The ending on the cliff goes, so that it cannot hold the camera.
    void standStill(i32 x)
    {
        removeAll<Demo_Ending>();
        removeAll<Follower>();
        for (int i = 0; i < 200 && (heroine->x != x || feet() != ArenaFloorY); ++i) {
            place(heroine->x + std::clamp(x - heroine->x, -8, 8), feet() + std::clamp(ArenaFloorY - feet(), -8, 8));
            frame();
        }
        for (int i = 0; i < 60; ++i) {
            place(x, ArenaFloorY);
            frame();
        }
        frame(5);
    }

    struct Climb {
        int frames = 0;
        int fallsToFloor = 0;
        i32 highestStandFeet = ArenaFloorY;  // the feet of the highest place she stood on
    };

    // Holds right and presses jump each time she looks settled (neither rising nor falling), a
    // fresh press each time, until she is on the cliff or the time is up.
    Climb climbWithRightAndJump()
    {
        Climb climb;
        fake_input::holdControl(0, ControlRight);
        bool jumpHeld = false;
        bool airborne = false;
        i32 lastY = heroine->y;
        for (; climb.frames < ClimbFrames && !onCliff(); ++climb.frames) {
            const bool settled = heroine->velY == 0 && heroine->y == lastY;
            if (settled && feet() >= heroine->floorLimit)
                climb.highestStandFeet = std::min(climb.highestStandFeet, feet());
            if (settled && !jumpHeld)
                fake_input::holdControl(0, ControlA);
            else
                fake_input::releaseControl(0, ControlA);
            jumpHeld = settled && !jumpHeld;
            lastY = heroine->y;
            frame();
            if (airborne && feet() == ArenaFloorY)
                ++climb.fallsToFloor;
            airborne = feet() < ArenaFloorY;
        }
        fake_input::releaseAll();
        return climb;
    }

    // Holds left until she stands still against the arena's left wall.
    void walkToTheLeftWall()
    {
        fake_input::holdControl(0, ControlLeft);
        i32 lastX = heroine->x + 1;
        for (int i = 0; i < ClimbFrames && heroine->x != lastX; ++i) {
            lastX = heroine->x;
            frame();
        }
        fake_input::releaseAll();
    }

    // Sinks the risen stairs back into their ground and cues them again, so that they rise around
    // her where she stands, as when the boss dies there.
    void raiseStairsAroundHer()
    {
        sinkStairs();
        for (Pillar_BossStairs* p : all<Pillar_BossStairs>())
            p->cueEscape();
        for (int i = 0; i < 200 && !stairsStill(); ++i)
            frame();
    }

    // Back to the one-pixel stubs they rise from, their bottoms where they were, as in the fight.
    void sinkStairs()
    {
        for (Pillar_BossStairs* p : all<Pillar_BossStairs>()) {
            p->y += p->h - 1;
            p->h = 1;
            p->targetHeight = 1;
        }
    }

    bool onCliff() const { return feet() <= CliffTopY && heroine->x > CliffX; }
};

} // namespace

// The escape stairs lead from the arena floor to the cliff: each pillar rises no higher above its
// own ground than she can jump. Until they rise, nothing above the floor is within her jump, so the
// floor is the only place she can stand when the boss dies.
TEST_F(EscapeClimbTest, OnlyTheRisenStairsLeadOffTheFloorAndEachStepIsWithinAJump)
{
    carryIntoArena();
    ASSERT_TRUE(waitForRaisedStairs()) << "the fight ends and the stairs rise";
    sinkStairs();
    standStill(GatePillarRight);
    const Climb climb = climbWithRightAndJump();
    EXPECT_EQ(climb.highestStandFeet, ArenaFloorY) << "she stood above the floor, at x " << heroine->x;

    raiseStairsAroundHer();
    std::vector<Pillar_BossStairs*> stairs = all<Pillar_BossStairs>();
    ASSERT_FALSE(stairs.empty());
    for (Pillar_BossStairs* p : stairs) {
        EXPECT_LE(p->h, MaxStepRise) << "the pillar at x " << p->x;
        EXPECT_GT(p->h, 16) << "the pillar at x " << p->x;
        EXPECT_GE(p->x, GatePillarRight);
        EXPECT_LT(p->x, CliffX);
    }
}

// Whatever the boss's shakes show around the settled view of the fight below the arena floor is earth,
// down from the ground's top in each column (the road outside the gate lies lower).
TEST_F(EscapeClimbTest, EarthFillsWhatTheShakeShowsBelowTheFloor)
{
    Level level("demo.lvl");
    const LevelObject director = placedOnce(BossFightId);
    ASSERT_EQ(director.type, BossFightId);
    const i32 tile = 16, left = director.x - 160 - ShakeReach, top = director.y - 120 - ShakeReach;
    const i32 lastRow = (top + 240 + 2 * ShakeReach - 1) / tile;
    ASSERT_LT(lastRow, level.height()) << "the level ends above what the shake shows";
    for (i32 column = left / tile; column <= (left + 320 + 2 * ShakeReach - 1) / tile; ++column) {
        i32 row = ArenaFloorY / tile;
        while (row <= lastRow && level.kindAt(column, row, level.activeLayer()) == KindEmpty)
            ++row;
        EXPECT_LE(row * tile, ApproachY) << "column " << column << " has no ground";
        for (; row <= lastRow; ++row)
            EXPECT_NE(level.kindAt(column, row, level.activeLayer()), KindEmpty)
                << "column " << column << ", row " << row;
    }
}

// On the cliff she walks into the ending rather than hopping (she jumps toward a trigger above her
// middle), and the view it settles on, centred on it, shows the cliff's ground.
TEST_F(EscapeClimbTest, TheEndingStandsLevelWithHerMiddleOnTheCliff)
{
    const LevelObject ending = placedOnce(DemoEndingId);
    ASSERT_EQ(ending.type, DemoEndingId);
    EXPECT_GE(ending.y, CliffTopY - heroine->h + heroine->h / 2);
    EXPECT_LT(CliffTopY, ending.y + 120) << "the cliff's ground is below the settled view";
}

// How she sets off up the stairs.
enum class SetOff : u8 {
    AfterTheRise,  // she stands on the floor by the risen stairs, holds right and jumps whenever she stands
    AsTheyRise,    // the stairs rise around her where she stands, then the same
    LeftFirst      // the stairs rise around her, she holds left to the arena's wall, then the same
};

// Wherever she stands on the arena floor, before the stairs rise or as they rise around her when
// the boss dies there, she climbs them onto the cliff by holding right and jumping whenever she
// stands, or by first holding left to the arena's wall. Where she stands, and whether on an odd or
// even frame (gravity acts every other frame), changes where each jump comes down.
TEST_F(EscapeClimbTest, FromAnywhereOnTheFloorSheClimbsTheStairsOntoTheCliff)
{
    carryIntoArena();
    ASSERT_TRUE(waitForRaisedStairs()) << "the fight ends and the stairs rise";
    for (SetOff setOff : {SetOff::AfterTheRise, SetOff::AsTheyRise, SetOff::LeftFirst})
      for (i32 startX = GatePillarRight; startX <= FirstShelfX - heroine->w; ++startX)
        for (int lateFrames : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "set-off " << int(setOff) << ", standing at x " << startX << " after "
                                            << lateFrames);
            standStill(startX);
            frame(lateFrames);
            ASSERT_EQ(feet(), ArenaFloorY) << "she stands on the arena floor";
            if (setOff != SetOff::AfterTheRise)
                raiseStairsAroundHer();
            ASSERT_TRUE(stairsStill());
            if (setOff == SetOff::LeftFirst)
                walkToTheLeftWall();
            const Climb climb = climbWithRightAndJump();
            EXPECT_FALSE(heroine->dead);
            EXPECT_TRUE(onCliff()) << "on the cliff top after " << climb.frames << " frames; x " << heroine->x
                                   << ", feet " << feet();
            EXPECT_LE(climb.fallsToFloor, AllowedFallsToFloor);
        }
}
