#include "story/speechbox.h"
#include "tests/story/story_fixture.h"

#include <vector>

namespace {

class SpeechBoxTest : public StoryTest {
protected:
    void SetUp() override
    {
        StoryTest::SetUp();
        ASSERT_TRUE(audioOpen);
        ticker = add(new Ticker());
        manageWorld();
        letter = loadSound("resource/type_letter.wav");
        punc = loadSound("resource/type_punc.wav");
        end = loadSound("resource/type_end.wav");
    }

    // Queues the box; it joins after this frame's update pass, so its first update is the next frame.
    SpeechBox* open(const std::u16string& text, u16 style = 0)
    {
        SpeechBox* box = new SpeechBox(text, style, 1);
        queueSystemAdd(box);
        frame();
        return box;
    }
    // Runs the box until it has finished sliding in and the first character is due.
    void slideIn() { frame(14); }

    Ticker* ticker = nullptr;
    Mix_Chunk* letter = nullptr;
    Mix_Chunk* punc = nullptr;
    Mix_Chunk* end = nullptr;
};

TEST_F(SpeechBoxTest, UpperBoxSlidesInTypesAPageAndLeavesFreeingTheLevel)
{
    SoundTap tap;
    const int systems = activeSystemCount();
    SpeechBox* box = open(u"Hi, you.");
    EXPECT_EQ(activeSystemCount(), systems + 1);
    EXPECT_EQ(box->pageCount, 1);
    EXPECT_EQ(box->pageLength, 8);
    EXPECT_EQ(box->slideOffset, -85);

    std::vector<int> offsets;
    for (int i = 0; i < 14; ++i) {
        frame();
        offsets.push_back(box->slideOffset);
    }
    EXPECT_EQ(offsets, (std::vector<int>{-63, -47, -35, -26, -19, -14, -10, -7, -5, -3, -2, -1, 0, 0}));
    EXPECT_FALSE(box->sliding);
    EXPECT_TRUE(speechBoxOpen());
    const int ticks = ticker->ticks;

    // Ten frames before the first character, then one a frame, three after the comma.
    std::vector<int> shown;
    for (int i = 0; i < 19; ++i) {
        frame();
        shown.push_back(box->shownChars);
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 3, 3, 4, 5, 6, 7, 8}));
    // The space makes no sound; the last character rings the page end instead of ticking.
    EXPECT_EQ(tap.played(), (std::vector<Mix_Chunk*>{letter, letter, punc, letter, letter, letter, end}));

    frame(20);
    EXPECT_EQ(box->shownChars, 8) << "a complete page waits for the advance control";
    press(ControlA);
    EXPECT_TRUE(box->closing);
    std::vector<int> leaving;
    for (int i = 0; i < 16; ++i) {
        frame();
        leaving.push_back(box->slideOffset);
    }
    EXPECT_EQ(leaving,
              (std::vector<int>{-1, -2, -3, -4, -6, -8, -11, -14, -18, -23, -29, -37, -47, -59, -74, -85}));
    EXPECT_TRUE(speechBoxOpen());
    EXPECT_EQ(ticker->ticks, ticks) << "the level stands still behind the box";

    frame();  // the 17th update after the press: the box goes and the flag drops
    EXPECT_FALSE(speechBoxOpen());
    EXPECT_EQ(activeSystemCount(), systems);
    EXPECT_EQ(ticker->ticks, ticks);
    frame();
    EXPECT_EQ(ticker->ticks, ticks + 1) << "the level resumes in the next frame";
}

TEST_F(SpeechBoxTest, EveryPunctuationMarkTicksAsOne)
{
    SoundTap tap;
    open(u"!,.:;?!");
    slideIn();
    frame(40);
    EXPECT_EQ(tap.played(), (std::vector<Mix_Chunk*>{punc, punc, punc, punc, punc, punc, end}));
}

TEST_F(SpeechBoxTest, TheLevelStillRunsInTheFrameOfTheBoxsFirstUpdate)
{
    open(u"x");
    const int ticks = ticker->ticks;
    frame();
    EXPECT_EQ(ticker->ticks, ticks + 1);
    frame(5);
    EXPECT_EQ(ticker->ticks, ticks + 1);
}

TEST_F(SpeechBoxTest, TheAdvanceControlFinishesAPageThenTurnsIt)
{
    SpeechBox* box = open(u"one\ntwo\nthree\nfour\nfive");
    ASSERT_EQ(box->pageCount, 2);
    EXPECT_EQ(box->pageLength, 15);
    slideIn();
    frame(11);  // "on" typed
    EXPECT_EQ(box->shownChars, 2);
    {
        SoundTap tap;
        press(ControlA);
        EXPECT_EQ(box->shownChars, 15);
        // The frame's own character still ticks before the rest of the page appears.
        EXPECT_EQ(tap.played(), (std::vector<Mix_Chunk*>{letter, end}));
    }
    frame();  // let go of the control
    EXPECT_EQ(box->page, 0);
    EXPECT_EQ(box->shownChars, 15);
    press(ControlA);
    EXPECT_EQ(box->page, 1);
    EXPECT_EQ(box->pageLength, 4) << "the fifth line is alone on the second page";
    EXPECT_EQ(box->shownChars, 0);
    frame();
    EXPECT_EQ(box->shownChars, 0);
    frame();
    EXPECT_EQ(box->shownChars, 1) << "a later page starts two frames after the turn";
}

TEST_F(SpeechBoxTest, HoldingTheAdvanceControlTurnsOnlyOnePage)
{
    SpeechBox* box = open(u"one\ntwo\nthree\nfour\nfive");
    slideIn();
    frame(30);
    ASSERT_EQ(box->shownChars, box->pageLength);
    fake_input::holdControl(0, ControlA);
    frame(40);
    EXPECT_EQ(box->page, 1);
    EXPECT_EQ(box->shownChars, 4) << "the held control did not skip the typing either";
    EXPECT_FALSE(box->closing);
    fake_input::releaseControl(0, ControlA);
    frame();
    press(ControlA);
    EXPECT_TRUE(box->closing);
}

TEST_F(SpeechBoxTest, AnEmptyTextShowsOneEmptyPage)
{
    const int systems = activeSystemCount();
    SpeechBox* box = open(u"");
    EXPECT_EQ(box->pageCount, 1);
    slideIn();
    frame(30);
    EXPECT_EQ(box->shownChars, 0);
    EXPECT_FALSE(box->closing);
    press(ControlA);
    frame(17);
    EXPECT_EQ(activeSystemCount(), systems);
    EXPECT_FALSE(speechBoxOpen());
}

TEST_F(SpeechBoxTest, LowerBoxRisesFromBelowAndHoldsLongerLines)
{
    SpeechBox* box = open(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ123", 1);
    EXPECT_EQ(box->boxX, 2);
    EXPECT_EQ(box->boxY, 163);
    EXPECT_EQ(box->pageLength, 29) << "29 characters fit on one line of the lower box";
    std::vector<int> offsets;
    for (int i = 0; i < 12; ++i) {
        frame();
        offsets.push_back(box->slideOffset);
    }
    EXPECT_EQ(offsets, (std::vector<int>{56, 41, 30, 22, 16, 11, 8, 5, 3, 2, 1, 0}));
    slideIn();
    frame(40);
    press(ControlA);
    std::vector<int> leaving;
    for (int i = 0; i < 16; ++i) {
        frame();
        leaving.push_back(box->slideOffset);
    }
    EXPECT_EQ(leaving, (std::vector<int>{1, 2, 3, 4, 6, 8, 11, 14, 18, 23, 29, 37, 47, 59, 74, 75}));
}

TEST_F(SpeechBoxTest, DrawsTheBoxWhereItSlidAndTheTextOnlyOnceTyped)
{
    SDL_Surface* image = loadGraphic("resource/info-textbox.gif", false, 0, 0, 0, false);
    ASSERT_NE(image, nullptr);
    SpeechBox* box = open(u"WWWWWWWWWWWWWWWWWWWWWWW");
    frame(3);  // offset -35
    drawFrame();
    EXPECT_EQ(pixel(64 + 10, 8 - 35 + 40), getPixel(image, 10, 40) & 0xFFFFFF);
    EXPECT_EQ(pixel(64 + 10, 8 + 60), Backdrop) << "nothing below the sliding box";

    frame(11);
    drawFrame();
    // The text area shows the bare box image until the first character is typed.
    auto textAreaDiffers = [&] {
        for (int y = 17; y < 17 + 14; ++y)
            for (int x = 68; x < 68 + 188; ++x)
                if (pixel(x, y) != (getPixel(image, u32(x - 64), u32(y - 8)) & 0xFFFFFF))
                    return true;
        return false;
    };
    EXPECT_FALSE(textAreaDiffers());
    frame(10);
    ASSERT_EQ(box->shownChars, 1);
    drawFrame();
    EXPECT_TRUE(textAreaDiffers());
}

} // namespace
