#include "actors/dahlia.h"
#include "story/gamehud.h"
#include "tests/story/level_fixture.h"

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
    SDL_LockSurface(backBuffer);
    const u32* pixels = static_cast<const u32*>(backBuffer->pixels);
    const int stride = backBuffer->pitch / 4;
    auto at = [&](int x, int y) { return pixels[y * stride + x] & 0xFFFFFF; };
    const u32 emptyHealth = at(27 + 40, 8);
    const u32 filledHealth = at(27 + 10, 8);
    const u32 outsideFrame = at(150, 8);
    SDL_UnlockSurface(backBuffer);
    EXPECT_NE(filledHealth, emptyHealth) << "half the health bar is filled";
    EXPECT_EQ(outsideFrame, 0x123456u) << "nothing drawn right of the frame";
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
    world->startLevel("no-such-level.lvl");
    frame();
    EXPECT_EQ(all<GameHUD>().size(), 1u);
}

} // namespace
