#include "actors/actor.h"
#include "tests/actors/actor_fixture.h"

namespace {

// An 8x16 body whose intent the test sets; counts its landings.
class Walker : public Actor {
public:
    Walker(i32 x, i32 y) : Actor(x, y)
    {
        w = 8;
        h = 16;
    }
    Controls think() override { return intent; }
    void land() override
    {
        ++landings;
        landingSpeed = velY;
    }

    Controls intent;
    int landings = 0;
    i8 landingSpeed = 0;
};

class ActorTest : public ActorWorld {
protected:
    // A floor whose top is at y 200 across the whole view.
    Wall* addFloor() { return add(new Wall(-64, 200, 448, 16)); }
    Walker* addWalkerOnFloor(i32 x = 100)
    {
        Walker* walker = add(new Walker(x, 184));
        step(10);
        EXPECT_EQ(walker->y + walker->h, 200);
        return walker;
    }
};

TEST(ControlsTest, DirectionAndJumpBits)
{
    EXPECT_EQ(Controls().bits, 0);
    EXPECT_EQ(Controls(1, false).bits, 1);
    EXPECT_EQ(Controls(-5, false).bits, 2);
    EXPECT_EQ(Controls(0, true).bits, 4);
    EXPECT_EQ(Controls(3, true).bits, 5);
    EXPECT_EQ(Controls(-1, true).bits, 6);
    EXPECT_EQ(Controls(1, false).dir(), 1);
    EXPECT_EQ(Controls(-1, true).dir(), -1);
    Controls both;
    both.bits = Controls::Left | Controls::Right;
    EXPECT_EQ(both.dir(), 0);
    EXPECT_TRUE(Controls(0, true).jump());
    EXPECT_FALSE(Controls(1, false).jump());
}

TEST_F(ActorTest, FirstUpdateRecordsHealthWithoutCountingAHurt)
{
    addFloor();
    Walker* walker = add(new Walker(100, 184));
    step(2);
    EXPECT_EQ(walker->lastHealth, 100);
    EXPECT_EQ(walker->hurtThisFrame, 0);

    walker->hurt(10, 1);
    step();
    EXPECT_EQ(walker->hurtThisFrame, 1);
    EXPECT_EQ(walker->lastHealth, 90);
    step();
    EXPECT_EQ(walker->hurtThisFrame, 0);

    walker->health = 95;  // healing is not a hurt
    step();
    EXPECT_EQ(walker->hurtThisFrame, 0);
}

TEST_F(ActorTest, FallsFasterEverySecondFrameUpToEightAndLandsOnce)
{
    addFloor();
    Walker* walker = add(new Walker(100, -20));
    step();  // joins the level
    i8 fastest = 0;
    i8 previous = 0;
    for (int i = 0; i < 60 && walker->landings == 0; ++i) {
        step();
        if (walker->landings == 0) {
            EXPECT_LE(walker->velY - previous, 1);
            previous = walker->velY;
            fastest = std::max(fastest, walker->velY);
        }
    }
    EXPECT_EQ(fastest, 8);
    ASSERT_EQ(walker->landings, 1);
    EXPECT_EQ(walker->landingSpeed, 8);  // land sees the fall speed
    EXPECT_EQ(walker->velY, 0);
    EXPECT_EQ(walker->y + walker->h, 200);
    step(10);
    EXPECT_EQ(walker->landings, 1);
    EXPECT_EQ(walker->y + walker->h, 200);
}

TEST_F(ActorTest, JumpsOnlyFromTheGroundAndNeverSlowsAFasterRise)
{
    addFloor();
    Walker* walker = addWalkerOnFloor();
    walker->intent = Controls(0, true);
    step();
    EXPECT_EQ(walker->velY, -6);
    const i32 afterTakeOff = walker->y;
    step(3);
    EXPECT_LT(walker->y, afterTakeOff);
    EXPECT_GT(walker->velY, -6) << "the jump must not be renewed in the air";

    walker->intent = Controls();
    step(40);
    ASSERT_EQ(walker->y + walker->h, 200);
    walker->velY = -8;
    walker->intent = Controls(0, true);
    walker->move(Controls(0, true));
    EXPECT_LE(walker->velY, -7) << "an upward speed above 6 stays";
}

TEST_F(ActorTest, WalksAtTwoAndStopsWhenBothDirectionsAreHeld)
{
    addFloor();
    Walker* walker = addWalkerOnFloor();
    walker->intent = Controls(1, false);
    const i32 start = walker->x;
    step(5);
    EXPECT_EQ(walker->velX, 2);
    EXPECT_EQ(walker->x, start + 8);  // the first frame sets the speed, the next four move
    walker->intent.bits = Controls::Left | Controls::Right;
    step();
    EXPECT_EQ(walker->velX, 0);
}

TEST_F(ActorTest, AirControlChangesSpeedOnlyEveryFourthFrame)
{
    Walker* walker = add(new Walker(100, 0));
    walker->intent = Controls(1, false);
    step();
    std::vector<i8> speeds;
    for (int i = 0; i < 12; ++i) {
        const u32 frame = world->frame();
        const i8 before = walker->velX;
        step();
        if (frame % 4 != 0)
            EXPECT_EQ(walker->velX, before);
        else
            EXPECT_EQ(walker->velX, std::min(before + 1, 2));
    }
    EXPECT_EQ(walker->velX, 2);
}

TEST_F(ActorTest, WallStopsAWalker)
{
    addFloor();
    add(new Wall(140, 150, 16, 50));
    Walker* walker = addWalkerOnFloor();
    walker->intent = Controls(1, false);
    step(40);
    EXPECT_EQ(walker->x + walker->w, 140);
    EXPECT_EQ(walker->health, 100);
    // Flung at it through the air from either side, it stops in the frame it touches it.
    walker->intent = Controls();
    for (i8 way : {1, -1}) {
        walker->x = way > 0 ? 130 : 158, walker->y = 160, walker->velX = i8(2 * way);
        step();
        EXPECT_EQ(walker->x, way > 0 ? 132 : 156);
        EXPECT_EQ(walker->velX, 0) << int(way);
    }
}

TEST_F(ActorTest, AWalkerPassesUnderACeilingOnlyWithMoreThanAStepOfHeadroom)
{
    addFloor();
    add(new Wall(120, 166, 32, 16));  // 18 above the floor: 2 of headroom, one walking step
    add(new Wall(220, 165, 32, 16));
    Walker* tight = addWalkerOnFloor(100);
    Walker* roomy = addWalkerOnFloor(200);
    tight->intent = roomy->intent = Controls(1, false);
    step(30);
    EXPECT_EQ(tight->x + tight->w, 120);
    EXPECT_GT(roomy->x, 220);
}

TEST_F(ActorTest, WallAndScrollingWindowSideCrushToDeath)
{
    // A player body just left of the view, against a wall on its right; the view moves right
    // and the window's left side presses it into the wall.
    add(new Wall(-32, -100, 16, 400));
    Walker* walker = add(new Walker(-40, 100));
    walker->typeFlags |= FlagPlayer;
    walker->velX = 1;
    step(3);
    ASSERT_EQ(walker->dead, 0);
    world->cameraX = 10;
    walker->velX = 1;
    step();
    EXPECT_EQ(walker->dead, 1);
    EXPECT_LE(walker->health, 0);
}

TEST_F(ActorTest, FloorAndLoweringWindowCeilingCrushToDeath)
{
    addFloor();
    Walker* walker = addWalkerOnFloor();
    walker->typeFlags |= FlagPlayer;
    world->cameraY = 240;  // the window's ceiling now reaches below her head
    walker->velX = 1;
    step();
    EXPECT_EQ(walker->dead, 1);
    EXPECT_LE(walker->health, 0);
}

TEST_F(ActorTest, DeadActorNeitherWalksNorJumpsButStillFalls)
{
    Walker* walker = add(new Walker(100, 0));
    step();
    walker->hurt(200, 1);
    walker->intent = Controls(1, true);
    const i32 x = walker->x;
    step(8);
    EXPECT_EQ(walker->x, x);
    EXPECT_GT(walker->velY, 0);
}

TEST_F(ActorTest, ForcedControlsReplaceThinkForOneUpdate)
{
    addFloor();
    Walker* walker = addWalkerOnFloor();
    walker->intent = Controls();
    walker->setControls(Controls(-1, false));
    step();
    EXPECT_EQ(walker->velX, -2);
    EXPECT_EQ(walker->controlsForced, 0);
    step();
    EXPECT_EQ(walker->velX, 0) << "think takes over again";
}

TEST_F(ActorTest, RestingActorNoticesALostFloorOnlyAtItsScanFrame)
{
    Wall* floor = addFloor();
    Walker* walker = addWalkerOnFloor();
    step(6);
    floor->moveY = 100;  // the floor drops away in one frame
    step();
    floor->moveY = 0;
    int standingFrames = 0;
    while (walker->floorLimit == 200 && standingFrames < 10) {
        step();
        ++standingFrames;
    }
    EXPECT_GE(standingFrames, 1);
    EXPECT_LE(standingFrames, 6) << "the sixth frame at the latest is a scan frame";
    EXPECT_EQ(walker->y + walker->h, 200) << "it stood until it looked";
    step(4);
    EXPECT_GT(walker->y + walker->h, 200);
}

TEST_F(ActorTest, OffScreenActorsStandStillUnlessTheyArePlayers)
{
    Walker* away = add(new Walker(1000, 0));
    Walker* player = add(new Walker(1000, 0));
    player->typeFlags |= FlagPlayer;
    step(10);
    EXPECT_EQ(away->y, 0);
    EXPECT_EQ(away->lastHealth, 0) << "no part of the update runs";
    EXPECT_GT(player->y, 0);
}

TEST_F(ActorTest, NoActorLeavesTheWindowAroundTheView)
{
    Walker* walker = add(new Walker(100, 0));
    walker->typeFlags |= FlagPlayer;
    step(200);
    // With no terrain the window's floor holds it 32 pixels below the view.
    EXPECT_EQ(walker->y, 240 + 32);
    walker->intent = Controls(-1, false);
    step(200);
    EXPECT_EQ(walker->x + walker->w, -32);
}

TEST_F(ActorTest, VelocityQueriesOfTheCharacterAnswerTheActorsSpeed)
{
    Walker* walker = add(new Walker(100, 0));
    walker->velX = -3;
    walker->velY = 7;
    Damagable* asDamagable = walker;
    EXPECT_EQ(asDamagable->velX(), -3);
    EXPECT_EQ(asDamagable->velY(), 7);
}

} // namespace
