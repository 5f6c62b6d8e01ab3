#include "tests/story/level_fixture.h"

#include "actors/bossfight.h"
#include "actors/dahlia.h"
#include "actors/follower.h"
#include "actors/springfoot/springfoot_boss.h"
#include "story/demo_ending.h"
#include "story/tutorial_mark.h"
#include "world/objects/pillar_bossstairs.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <vector>

namespace {

// The boss arena at the end of the demo level, as laid out in levels/demo.txt.
constexpr i32 ArenaEntryX = 2744;      // inside the gate, left of the stairs
constexpr i32 DoorwayFeetY = 232;      // between the gate's lintel and the approach ground
constexpr i32 ArenaFloorY = 272;
constexpr i32 GatePillarRight = 2736;  // the raised lock-in pillar closes the arena on the left
constexpr i32 MaxStepRise = 33;  // her lower jump rises 36 pixels
constexpr i32 CliffX = 3040;
constexpr i32 CliffTopY = 112;
constexpr int ClimbFrames = 600;       // twenty seconds of play
constexpr int AllowedFallsToFloor = 3;

class EscapeClimbTest : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        world->startLevel("demo.lvl");
        frame(2);
        std::vector<Dahlia*> found = all<Dahlia>();
        ASSERT_EQ(found.size(), 1u);
        heroine = found[0];
    }

    i32 feet() const { return heroine->y + heroine->h; }

    void place(i32 x, i32 feetY)
    {
        heroine->x = x;
        heroine->y = feetY - heroine->h;
        heroine->velX = 0;
        heroine->velY = 0;
    }

    template <class T> void removeAll()
    {
        for (T* object : all<T>())
            world->remove(object);
    }

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

    bool onCliff() const { return feet() <= CliffTopY && heroine->x > CliffX; }

    Dahlia* heroine = nullptr;
};

} // namespace

// A player who holds right and presses jump each time she is on her feet gets from the arena
// floor up the escape stairs onto the cliff.
TEST_F(EscapeClimbTest, HoldingRightAndJumpingClimbsTheStairsOntoTheCliff)
{
    carryIntoArena();
    ASSERT_TRUE(waitForRaisedStairs()) << "the fight ends and the stairs rise";

    // The stairs, left to right, rise toward the cliff and end at its foot.
    std::map<i32, i32> topAt;  // left edge -> top of each pillar
    for (Pillar_BossStairs* p : all<Pillar_BossStairs>())
        topAt[p->x] = p->y;
    ASSERT_FALSE(topAt.empty());
    const i32 firstStepX = topAt.begin()->first;
    EXPECT_EQ(topAt.rbegin()->first + 16, CliffX);
    EXPECT_LE(ArenaFloorY - topAt.begin()->second, MaxStepRise);
    for (auto it = std::next(topAt.begin()); it != topAt.end(); ++it) {
        EXPECT_EQ(it->first, std::prev(it)->first + 16) << "no gap between pillars";
        EXPECT_LE(it->second, std::prev(it)->second) << "never a step down";
        EXPECT_LE(std::prev(it)->second - it->second, MaxStepRise);
    }
    EXPECT_LE(topAt.rbegin()->second - CliffTopY, MaxStepRise);

    // Where she sets off, and whether on an odd or even frame (gravity acts every other frame),
    // changes where each jump comes down.
    for (i32 startX = GatePillarRight; startX <= firstStepX - heroine->w; ++startX)
      for (int lateFrames : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "setting off at x " << startX << " after " << lateFrames);
        standStill(startX);
        frame(lateFrames);
        ASSERT_EQ(feet(), ArenaFloorY) << "she stands on the arena floor";
        const Climb climb = climbWithRightAndJump();
        EXPECT_FALSE(heroine->dead);
        EXPECT_LE(feet(), CliffTopY) << "on the cliff top after " << climb.frames << " frames; x " << heroine->x;
        EXPECT_GT(heroine->x, CliffX);
        EXPECT_LE(climb.fallsToFloor, AllowedFallsToFloor);
    }
}
