#include "story/demo_ending.h"
#include "tests/story/story_fixture.h"

#include "actors/dahlia.h"
#include "actors/follower.h"
#include "story/gamehud.h"
#include "world/factory.h"

#include <memory>
#include <utility>

namespace {

// Tells when the level that holds it is deleted.
class Sentinel : public Physical {
public:
    explicit Sentinel(bool* gone) : gone(gone) {}
    ~Sentinel() override { *gone = true; }
    bool* gone;
};

constexpr i32 EndX = 1000;
constexpr i32 EndY = 184;

class DemoEndingTest : public StoryTest {
protected:
    void SetUp() override
    {
        StoryTest::SetUp();
        add(new Wall(0, 200, 3000, 16));
        // Actors keep within 32 pixels of the view: keep the scene in it, one pixel short of settled.
        settleCamera();
        world->cameraX -= 1;
        heroine = add(new Dahlia(900, 180, 0));
        frame(10);  // she lands: box x 896, centre 900
        ending = add(new Demo_Ending(EndX, EndY));
        frame();
        follower = all<Follower>().at(0);
    }
    void settleCamera()
    {
        world->cameraX = EndX - 160;
        world->cameraY = EndY - 120;
    }
    i32 heroineCentre() const { return heroine->x + heroine->w / 2; }

    Dahlia* heroine = nullptr;
    Demo_Ending* ending = nullptr;
    Follower* follower = nullptr;
};

TEST_F(DemoEndingTest, BringsTheOstrevanianInAtTheRightEdgeOfTheSettledView)
{
    std::unique_ptr<Physical> placed(createObject(32, EndX, EndY));
    ASSERT_NE(dynamic_cast<Demo_Ending*>(placed.get()), nullptr);
    EXPECT_EQ(placed->x, EndX);
    EXPECT_EQ(placed->depth, -100);

    EXPECT_EQ(follower->x + follower->w / 2, EndX + 160);
    EXPECT_TRUE(world->isAlive(ending->follower));
    EXPECT_EQ(ending->player.object, heroine);
    EXPECT_EQ(ending->added, 1);
}

TEST_F(DemoEndingTest, WaitsUntilTheHeroineIsNearAndPausesWhenSheBacksOff)
{
    const i32 x = heroine->x;
    frame(20);
    EXPECT_EQ(ending->typeFlags, 0u);
    EXPECT_EQ(heroine->x, x) << "no forced walk while she is more than 64 pixels left";

    heroine->x = EndX - 64 - heroine->w / 2;  // centre exactly on the line
    frame(5);
    EXPECT_EQ(ending->typeFlags, u32(FlagCameraFocus));
    EXPECT_GT(heroine->x, EndX - 64 - heroine->w / 2) << "walked toward the trigger";
    for (auto [offset, dir] : {std::pair{-17, 1}, {-16, 0}, {16, 0}, {17, -1}}) {
        heroine->x = EndX + offset - heroine->w / 2;  // her centre this far from the trigger
        heroine->velX = 0;
        frame();
        EXPECT_EQ(heroine->controls.dir(), dir) << "she stops within 16 pixels: " << offset;
    }

    heroine->x = 880;
    frame(2);
    EXPECT_EQ(ending->typeFlags, 0u);
    settleCamera();
    frame(5);
    EXPECT_EQ(ending->step, Demo_Ending::StepSettleCamera) << "the scene pauses while she is away";
}

TEST_F(DemoEndingTest, TheCameraMustSitExactlyOnTheSceneBeforeTheMeeting)
{
    heroine->x = EndX - 40;
    settleCamera();
    world->cameraX += 1;
    // Jumping while the trigger is above her centre.
    auto jumpsWithin = [&](int frames) {
        bool jumped = false;
        for (int i = 0; i < frames; ++i) {
            frame();
            jumped = jumped || heroine->velY < 0;
        }
        return jumped;
    };
    EXPECT_TRUE(jumpsWithin(30)) << "the trigger is 6 pixels above her centre";
    EXPECT_EQ(ending->step, Demo_Ending::StepSettleCamera);
    EXPECT_NEAR(heroineCentre(), EndX, 32) << "she walked up to the trigger and stopped";
    ending->y = 200 - heroine->h + heroine->h / 2;  // level with her centre once she stands
    frame(20);                                      // down again
    EXPECT_FALSE(jumpsWithin(20)) << "level with her centre";
    ending->y = EndY;
    settleCamera();
    frame();
    EXPECT_EQ(ending->step, Demo_Ending::StepMeet);
    follower->x = EndX + 48;  // one pixel short of where he stops
    frame();
    EXPECT_EQ(ending->step, Demo_Ending::StepMeet);
}

TEST_F(DemoEndingTest, PlaysTheSceneOnTimeAndHandsOverToTheCredits)
{
    bool levelGone = false;
    add(new Sentinel(&levelGone));
    manageWorld();
    heroine->x = EndX - 40;
    settleCamera();
    ASSERT_TRUE(audioOpen);
    Mix_HaltMusic();
    int frames = 0, meetAt = 0, pauseAt = 0, turnAt = 0, leaveAt = 0;
    bool shuffled = false;
    i32 followerXShuffling = -1;
    bool followerStoodStill = true;
    while (!levelGone && frames < 2000) {
        u16 before = ending->step;
        frame();
        ++frames;
        if (levelGone)
            break;
        if (ending->step == before) {
            if (ending->step == Demo_Ending::StepPause) {
                shuffled = shuffled || follower->animFrame >= 4;
                if (ending->timer == 36)
                    followerXShuffling = follower->x;
                if (ending->timer < 36 && ending->timer > 10)
                    followerStoodStill = followerStoodStill && follower->x == followerXShuffling;
            }
            continue;
        }
        switch (ending->step) {
        case Demo_Ending::StepMeet:
            meetAt = frames;
            break;
        case Demo_Ending::StepPause:
            pauseAt = frames;
            EXPECT_LT(follower->x, EndX + 48);
            EXPECT_NEAR(heroineCentre(), EndX, 16) << "she walked up to the trigger and stopped";
            EXPECT_EQ(ending->timer, 60);
            break;
        case Demo_Ending::StepTurnAway:
            turnAt = frames;
            break;
        case Demo_Ending::StepLeave:
            leaveAt = frames;
            break;
        }
    }
    ASSERT_TRUE(levelGone) << "the level was ended";
    EXPECT_EQ(meetAt, 1);
    EXPECT_GT(pauseAt, meetAt);
    EXPECT_EQ(turnAt - pauseAt, 60);
    EXPECT_EQ(leaveAt - turnAt, 90);
    EXPECT_GT(frames, leaveAt);
    EXPECT_TRUE(shuffled) << "he walked on the spot during the pause";
    EXPECT_TRUE(followerStoodStill) << "the shuffle is a walk on the spot";

    world.release();  // the manager deleted it
    drawFrame();
    EXPECT_EQ(pixel(0, 0), 0u) << "the credits took the screen";
    EXPECT_TRUE(Mix_PlayingMusic()) << "the credits started their music";
}

TEST_F(DemoEndingTest, EscapeInTheFrameOfTheHandOverAddsNoTitleMenuBesideTheCredits)
{
    add(new GameHUD());
    manageWorld();
    frame();  // the display joins
    const int systems = activeSystemCount();
    ending->step = Demo_Ending::StepLeave;
    heroine->x = EndX + 161;
    fake_input::holdKey(SDLK_ESCAPE);
    frame();
    EXPECT_EQ(titleMenusMade, 0);
    EXPECT_EQ(activeSystemCount(), systems) << "the credits alone took the level's place";
}

TEST_F(DemoEndingTest, ALostOstrevanianShortensThePause)
{
    heroine->x = EndX - 40;
    settleCamera();
    frame();
    ASSERT_EQ(ending->step, Demo_Ending::StepMeet);
    follower->removeSelf();
    frame(2);  // he leaves the level after the first frame's update pass
    EXPECT_EQ(ending->step, Demo_Ending::StepPause);
    EXPECT_EQ(ending->timer, 30);
    frame(29);
    EXPECT_EQ(ending->step, Demo_Ending::StepPause);
    frame();
    EXPECT_EQ(ending->step, Demo_Ending::StepTurnAway);
}

TEST_F(DemoEndingTest, TheWalkOnTheSpotStartsAtPauseFrame37AndEndsAt11)
{
    heroine->x = EndX - 40;
    // From standing, one step shows the walk's first frame on odd and even frames alike.
    for (auto [timer, steps] : {std::pair{38, false}, {37, true}, {11, true}, {10, false}}) {
        ending->step = Demo_Ending::StepPause;
        ending->timer = i16(timer);
        follower->animFrame = 0;
        frame();
        EXPECT_EQ(follower->animFrame >= 4, steps) << "pause frame " << timer;
    }
}

TEST_F(DemoEndingTest, FollowsTheReplacementOfAHeroineWhoDied)
{
    heroine->typeFlags &= ~u32(FlagPlayer);  // what a body left as a corpse looks like
    Dahlia* replacement = add(new Dahlia(EndX - 40, 180, 0));
    frame(2);
    EXPECT_EQ(ending->player.object, replacement);
    EXPECT_EQ(ending->typeFlags, u32(FlagCameraFocus));
}

TEST_F(DemoEndingTest, OutlinesTheSceneOnlyOutsideALevel)
{
    SDL_FillRect(backBuffer, nullptr, 0);
    drawOffsetX = drawOffsetY = 0;
    Demo_Ending loose(160, 120);
    loose.draw(backBuffer);
    EXPECT_EQ(pixel(0, 0), 0xFFFFFFu) << "the view's corner";
    EXPECT_EQ(pixel(16, 16), 0xFFFFFFu) << "the scene's corner";
    for (auto [x, y] : {std::pair{160, 16}, {304, 120}, {160, 224}, {16, 120}})
        EXPECT_EQ(pixel(x, y), 0xFFFFFFu) << "every side of the scene: " << x << ", " << y;
    EXPECT_EQ(pixel(160, 120), 0u);

    SDL_FillRect(backBuffer, nullptr, 0);
    ending->draw(backBuffer);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            ASSERT_EQ(pixel(x, y), 0u);
}

} // namespace
