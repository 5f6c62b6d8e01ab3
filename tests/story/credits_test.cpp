#include "story/credits.h"
#include "tests/story/story_fixture.h"

#include "core/lang.h"
#include "tests/support/scratch_dir.h"

namespace {

class CreditsTest : public StoryTest {
protected:
    void SetUp() override
    {
        StoryTest::SetUp();
        ASSERT_TRUE(audioOpen);
        loadLangPack("english");
        manageWorld();
    }
    Credits* start()
    {
        Credits* credits = new Credits();
        queueSystemAdd(credits);
        frame();  // joins; its first update is in the next frame
        return credits;
    }
    // The first row with anything but black on it, or -1.
    int topLitRow()
    {
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if (pixel(x, y) != 0)
                    return y;
        return -1;
    }
};

TEST_F(CreditsTest, WaitsThenRisesAPixelEveryOtherFrame)
{
    Credits* credits = start();
    EXPECT_EQ(credits->text.substr(0, 18), u"WARDEN OF OSTREVAN");
    frame(30);
    EXPECT_EQ(credits->position, 480);
    drawFrame();
    EXPECT_EQ(topLitRow(), -1) << "a black screen; the text waits below the bottom edge";

    frame(100);
    EXPECT_EQ(credits->position, 380);
    drawFrame();
    const int row = topLitRow();
    EXPECT_GE(row, 190);
    EXPECT_LT(row, 190 + 14);
    frame(20);
    drawFrame();
    EXPECT_EQ(topLitRow(), row - 10);
}

TEST_F(CreditsTest, FadesAfterTheTextHasPassedAndWaitsForTheMusicToEnd)
{
    SoundTap stillMixer;  // the music cannot fade while the mixer stands still
    const int systems = activeSystemCount();
    Credits* credits = start();
    ASSERT_TRUE(Mix_PlayingMusic());
    frame(30 + 1600);
    EXPECT_EQ(credits->position, -1120);
    EXPECT_EQ(credits->fading, 0);
    frame();
    EXPECT_EQ(credits->position, -1121);
    EXPECT_EQ(credits->fading, 1);
    EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_OUT);
    frame(50);
    EXPECT_EQ(credits->position, -1171) << "still rising while the music fades";
    EXPECT_EQ(titleMenusMade, 0);

    Mix_HaltMusic();
    frame();
    EXPECT_EQ(titleMenusMade, 1);
    EXPECT_EQ(activeSystemCount(), systems + 1) << "the credits went, a title menu came";
}

// The shipped credits fill the scroll: the player watches a black screen for at most a second
// (30 frames) before the music fades, so text is still on screen 31 frames before the fade.
TEST_F(CreditsTest, TheShippedTextIsStillOnScreenASecondBeforeTheFade)
{
    constexpr int FadeFrame = 30 + 1601;
    Credits* credits = start();
    frame(FadeFrame - 31);
    drawFrame();
    EXPECT_NE(topLitRow(), -1) << "black screen from first line y " << credits->position / 2;
    frame(31);
    EXPECT_EQ(credits->fading, 1) << "the fade starts as before";
}

TEST_F(CreditsTest, WithoutMusicTheMenuComesTheFrameAfterTheFadeStarts)
{
    ScratchDir elsewhere;  // no music file there
    Credits* credits = start();
    EXPECT_FALSE(Mix_PlayingMusic());
    frame(30 + 1601);
    EXPECT_EQ(credits->fading, 1);
    EXPECT_EQ(titleMenusMade, 0);
    frame();
    EXPECT_EQ(titleMenusMade, 1);
}

TEST_F(CreditsTest, AMissingTextScrollsLikeAnyOther)
{
    unloadLangPack();
    Credits* credits = start();
    EXPECT_EQ(credits->text, u"NOLNG-ending:credits");
    frame(30 + 100);
    drawFrame();
    EXPECT_GE(topLitRow(), 190);
    EXPECT_LT(topLitRow(), 204);
}

} // namespace
