#include "story/tutorial_mark.h"
#include "tests/story/story_fixture.h"

#include "actors/dahlia.h"
#include "story/gamehud.h"
#include "world/factory.h"

#include <memory>

namespace {

class TutorialMarkTest : public StoryTest {
protected:
    void SetUp() override
    {
        StoryTest::SetUp();
        manageWorld();
    }
    std::vector<Tutorial_Mark*> marks() { return all<Tutorial_Mark>(); }
};

TEST_F(TutorialMarkTest, PlacedByTheFactoryAsATwoPixelLineOnItsPoint)
{
    for (u16 id = 33001; id <= 33006; ++id) {
        std::unique_ptr<Physical> made(createObject(id, 100, 200));
        auto* mark = dynamic_cast<Tutorial_Mark*>(made.get());
        ASSERT_NE(mark, nullptr) << id;
        EXPECT_EQ(mark->number, id - 33000);
        EXPECT_EQ(mark->x, 99);
        EXPECT_EQ(mark->y, 50);
        EXPECT_EQ(mark->w, 2);
        EXPECT_EQ(mark->h, 150);
        EXPECT_EQ(mark->typeFlags, 0u);
    }
}

TEST_F(TutorialMarkTest, TouchingIsNotCrossing)
{
    add(new Tutorial_Mark(100, 200, 1));  // the line covers x 99 and 100
    PlayerBody* left = add(new PlayerBody(91, 100));   // right edge at 99
    PlayerBody* right = add(new PlayerBody(101, 100)); // left edge at 101
    const int systems = activeSystemCount();
    frame(3);
    EXPECT_EQ(activeSystemCount(), systems);
    ASSERT_EQ(marks().size(), 1u);
    EXPECT_EQ(marks()[0]->y, 50);

    left->x = 92;
    right->x = 200;
    frame();
    EXPECT_EQ(activeSystemCount(), systems + 1) << "a speech box was queued";
    EXPECT_EQ(marks().size(), 0u) << "the marker removed itself";
}

TEST_F(TutorialMarkTest, OpensItsBoxOnceAndTheLevelWaitsForIt)
{
    Ticker* ticker = add(new Ticker());
    add(new Tutorial_Mark(100, 200, 2));
    add(new PlayerBody(96, 100));
    frame();  // they join the level
    frame();  // the marker fires
    frame();  // the box has its first update; the level still ran this frame
    EXPECT_TRUE(speechBoxOpen());
    const int ticks = ticker->ticks;
    const int systems = activeSystemCount();
    frame(60);
    EXPECT_EQ(ticker->ticks, ticks);
    EXPECT_EQ(activeSystemCount(), systems) << "only one box";

    // Two pages ("The X button ..." wraps to five lines): type, turn, type, close.
    for (int i = 0; i < 4 && speechBoxOpen(); ++i) {
        press(ControlA);
        frame(60);
    }
    EXPECT_FALSE(speechBoxOpen());
    EXPECT_EQ(activeSystemCount(), systems - 1);
    EXPECT_GT(ticker->ticks, ticks);
}

// Escape in the frame the marker fires (its box still queued) or in the next (the box joined but
// not yet updated): the box must leave with the level, or it would sit over the title menu and
// hold the next level still.
TEST_F(TutorialMarkTest, LeavingTheLevelAsTheMarkerFiresTakesItsBoxAlong)
{
    for (int escapeFramesLater : {0, 1}) {
        SCOPED_TRACE(escapeFramesLater);
        if (escapeFramesLater > 0) {
            world.release();  // the manager deleted it
            world = std::make_unique<SystPhysical>();
            manageWorld();
        }
        add(new GameHUD());
        add(new Tutorial_Mark(100, 200, 1));
        add(new PlayerBody(96, 100));
        frame();  // they join the level
        const int systems = activeSystemCount();
        const int menus = titleMenusMade;
        frame(escapeFramesLater);
        fake_input::holdKey(SDLK_ESCAPE);
        frame();
        fake_input::releaseKey(SDLK_ESCAPE);
        frame(2);
        EXPECT_EQ(titleMenusMade, menus + 1);
        EXPECT_FALSE(speechBoxOpen());
        EXPECT_EQ(activeSystemCount(), systems) << "the title menu took the level's place, alone";
    }
}

TEST_F(TutorialMarkTest, SilentMarkersSetTheRespawnPointAndStayRisen)
{
    add(new Wall(0, 200, 400, 16));
    Dahlia* heroine = add(new Dahlia(40, 180, 0));
    frame(10);  // she lands
    for (u8 number : {3, 5, 6}) {
        SCOPED_TRACE(number);
        Tutorial_Mark* mark = add(new Tutorial_Mark(heroine->x + 4, 200, number));
        const int systems = activeSystemCount();
        frame(2);
        EXPECT_EQ(heroine->respawnX, heroine->x);
        EXPECT_EQ(heroine->respawnY, 200 - heroine->h);
        EXPECT_EQ(mark->y, 200 - 150 - 500) << "it rose out of the way and stays in the level";
        EXPECT_EQ(activeSystemCount(), systems) << "no box";
        EXPECT_FALSE(speechBoxOpen());
        heroine->x += 30;
        heroine->respawnX = -1;
    }
    EXPECT_EQ(marks().size(), 3u);
}

TEST_F(TutorialMarkTest, CrossedWhileABoxIsOpenItOnlyRisesAndWaitsAtItsNewHeight)
{
    add(new Tutorial_Mark(100, 200, 4));
    PlayerBody* body = add(new PlayerBody(96, 100));
    frame();  // they join the level
    const int systems = activeSystemCount();
    ASSERT_EQ(marks().size(), 1u);
    Tutorial_Mark* mark = marks()[0];
    // Another box is on screen. The level stands still then, so run the marker by hand.
    setSpeechBoxOpen(true);
    mark->update();
    EXPECT_EQ(mark->y, 50 - 500);
    EXPECT_EQ(marks().size(), 1u);

    setSpeechBoxOpen(false);
    frame(3);
    EXPECT_EQ(activeSystemCount(), systems) << "the player is far below the risen marker";
    body->y = -400;
    frame();
    EXPECT_EQ(activeSystemCount(), systems + 1);
    EXPECT_EQ(marks().size(), 0u);
}

TEST_F(TutorialMarkTest, OnlyTheFirstOverlappingPlayerCounts)
{
    add(new Wall(0, 200, 400, 16));
    Dahlia* first = add(new Dahlia(100, 180, 0));
    Dahlia* second = add(new Dahlia(101, 180, 1));
    frame(10);
    first->respawnX = second->respawnX = -1;
    add(new Tutorial_Mark(100, 200, 3));
    frame(2);
    EXPECT_EQ(first->respawnX, first->x);
    EXPECT_EQ(second->respawnX, -1);
}

TEST_F(TutorialMarkTest, MessagesByNumber)
{
    EXPECT_EQ(tutorialText(1).substr(0, 30), u"Welcome to Ostrevan: Demo One!");
    EXPECT_EQ(tutorialText(4).substr(0, 15), u"The arrow keys ");
    EXPECT_EQ(tutorialText(6).substr(0, 9), u"If you've");
    for (u8 number : {0, 7, 255})
        EXPECT_EQ(tutorialText(number), u"CRITICAL MAJOR TUTORIAL MESSAGE ERROR!");
}

} // namespace
