#include "actors/dahlia.h"
#include "core/draw.h"
#include "story/gamehud.h"
#include "tests/story/level_fixture.h"
#include "tests/support/on_screen.h"

#include <cmath>
#include <limits>

namespace {

using GameHudTest = LevelTest;

TEST(HudBarTest, FullHalfAndEmptyBars)
{
    EXPECT_EQ(hudBarWidth(1.0f), 65);
    EXPECT_EQ(hudBarWidth(0.5f), 32);
    EXPECT_EQ(hudBarWidth(0.0f), 0);
}

TEST(HudBarTest, FractionsOutsideZeroToOneAreClamped)
{
    EXPECT_EQ(hudBarWidth(-0.25f), 0);
    EXPECT_EQ(hudBarWidth(-40.0f), 0);
    EXPECT_EQ(hudBarWidth(1.5f), 65);
    EXPECT_EQ(hudBarWidth(1e9f), 65);
    EXPECT_EQ(hudBarWidth(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST_F(GameHudTest, ReadsTheFirstPlayerBody)
{
    GameHUD* hud = add(new GameHUD());
    EXPECT_EQ(hud->depth, -3000);
    EXPECT_NE(hud->image, nullptr);
    frame(2);
    EXPECT_FLOAT_EQ(hud->healthFraction, 0.0f);
    EXPECT_FLOAT_EQ(hud->secondFraction, 0.0f);

    Dahlia* dahlia = add(new Dahlia(100, 100, 0));
    dahlia->health = 50;
    frame(2);
    EXPECT_FLOAT_EQ(hud->healthFraction, 0.5f);
    EXPECT_FLOAT_EQ(hud->secondFraction, 1.0f);
}

TEST_F(GameHudTest, DrawsBarsOfTheirFractionsOnTheScreen)
{
    GameHUD* hud = add(new GameHUD());
    frame();
    hud->healthFraction = 0.5f;
    hud->secondFraction = 7.0f;  // out of range: drawn full, never wider
    SDL_FillRect(backBuffer, nullptr, 0x123456);
    world->draw(backBuffer);
    auto shows = [&](SDL_Rect cell, i32 x, i32 y) { return showsCell(backBuffer, hud->image, cell, x, y, false); };
    EXPECT_TRUE(shows({27, 40, 32, 5}, 27, 6)) << "half the health bar, from its strip";
    EXPECT_TRUE(shows({59, 6, 41, 5}, 59, 6)) << "the frame shows in the empty half";
    EXPECT_TRUE(shows({27, 51, 65, 5}, 27, 17)) << "the whole second bar, from its strip";
    EXPECT_FALSE(shows({27, 6, 32, 5}, 27, 6)) << "the strip differs from the frame";
    EXPECT_EQ(getPixel(backBuffer, 150, 8) & 0xFFFFFF, 0x123456u) << "nothing drawn right of the frame";
}

TEST_F(GameHudTest, EscapeLeavesTheLevelForTheTitleMenu)
{
    add(new GameHUD());
    manageWorld();
    const int systems = activeSystemCount();
    frame(2);
    fake_input::holdKey(SDLK_ESCAPE);
    frame();
    EXPECT_EQ(titleMenusMade, 1);
    EXPECT_EQ(activeSystemCount(), systems) << "the level went, the menu came";
}

TEST_F(GameHudTest, EscapeWithoutATitleMenuJustEndsTheLevel)
{
    setTitleMenuMaker(nullptr);
    add(new GameHUD());
    manageWorld();
    const int systems = activeSystemCount();
    frame(2);
    fake_input::holdKey(SDLK_ESCAPE);
    frame();
    EXPECT_EQ(titleMenusMade, 0);
    EXPECT_EQ(activeSystemCount(), systems - 1);
}

TEST_F(GameHudTest, StartedLevelsGetTheirDisplay)
{
    world->startLevel("demo.lvl");
    frame();
    EXPECT_EQ(all<GameHUD>().size(), 1u);
}

TEST_F(GameHudTest, ALevelThatCannotBeLoadedIsLeftAsEscapeLeavesIt)
{
    manageWorld();
    const int systems = activeSystemCount();
    world->startLevel("no-such-level.lvl");
    frame();
    EXPECT_EQ(titleMenusMade, 1);
    EXPECT_EQ(activeSystemCount(), systems) << "the level went, the menu came";
}

} // namespace
