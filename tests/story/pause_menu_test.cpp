#include "story/pause_menu.h"
#include "tests/story/level_fixture.h"

#include "core/font.h"
#include "core/lang.h"
#include "tests/support/on_screen.h"

namespace {

// Counts its own updates.
class Ticker : public Physical {
public:
    void update() override { ++ticks; }
    int ticks = 0;
};

class PauseMenuTest : public LevelTest {
protected:
    Pause_Menu* openMenu()
    {
        Pause_Menu* menu = add(new Pause_Menu());
        frame();
        return menu;
    }
    void press(u8 control)
    {
        fake_input::holdControl(0, control);
        frame();
        fake_input::releaseControl(0, control);
    }
};

TEST_F(PauseMenuTest, FreezesEveryOtherObjectAndResumingRestoresTheCounts)
{
    Ticker* running = add(new Ticker());
    Ticker* alreadyFrozen = add(new Ticker());
    alreadyFrozen->frozenCount = 1;
    // The Y that opened the menu and an A still down from play do not act on it while held.
    fake_input::holdControl(0, ControlY);
    fake_input::holdControl(0, ControlA);
    frame();
    Pause_Menu* menu = openMenu();
    EXPECT_EQ(menu->depth, -5000);
    EXPECT_EQ(running->frozenCount, 1);
    EXPECT_EQ(alreadyFrozen->frozenCount, 2);
    EXPECT_EQ(menu->frozenCount, 0);
    const int ticks = running->ticks;
    frame(5);
    EXPECT_EQ(running->ticks, ticks) << "frozen objects are not updated";

    fake_input::releaseControl(0, ControlY);
    fake_input::releaseControl(0, ControlA);
    press(ControlB);
    frame();
    EXPECT_EQ(running->frozenCount, 0);
    EXPECT_EQ(alreadyFrozen->frozenCount, 1);
    EXPECT_TRUE(all<Pause_Menu>().empty());
    EXPECT_FALSE(Pause_Menu::isOpenIn(world.get()));
}

TEST_F(PauseMenuTest, ObjectsJoiningLaterAreNotFrozenNorThawed)
{
    openMenu();
    Ticker* late = add(new Ticker());
    frame();
    EXPECT_EQ(late->frozenCount, 0);
    const int ticks = late->ticks;
    frame(2);
    EXPECT_EQ(late->ticks, ticks + 2);

    late->frozenCount = 1;  // frozen by something else meanwhile
    press(ControlY);
    EXPECT_TRUE(all<Pause_Menu>().empty()) << "Y closes the menu as it opens it";
    EXPECT_EQ(late->frozenCount, 1) << "the menu thaws only what it froze";
}

TEST_F(PauseMenuTest, ReturnAndBackInOneFrameResumeOnce)
{
    Ticker* frozenBefore = add(new Ticker());
    frozenBefore->frozenCount = 1;
    frame();
    openMenu();
    ASSERT_EQ(frozenBefore->frozenCount, 2);
    fake_input::holdControl(0, ControlA);
    fake_input::holdControl(0, ControlB);
    fake_input::holdControl(0, ControlY);
    frame();
    EXPECT_EQ(frozenBefore->frozenCount, 1);
}

TEST_F(PauseMenuTest, SelectionMovesOnceAndDoesNotWrap)
{
    holdSounds();
    fake_input::holdControl(0, ControlDown);  // held since before the menu opened
    frame();
    Pause_Menu* menu = openMenu();
    const char *const move = "resource/menu_move.wav", *const pick = "resource/menu_pick.wav";
    EXPECT_EQ(playing(pick), 1) << "opening";
    frame(2);
    EXPECT_EQ(menu->selected, Pause_Menu::ChoiceQuit);
    EXPECT_EQ(playing(move), 1) << "one move, one sound";
    silence();
    fake_input::holdControl(0, ControlUp);  // both held: down first, then up
    frame();
    EXPECT_EQ(menu->selected, Pause_Menu::ChoiceReturn);
    EXPECT_EQ(playing(move), 1);
    silence();
    fake_input::releaseControl(0, ControlDown);
    frame();
    EXPECT_EQ(menu->selected, Pause_Menu::ChoiceReturn);
    EXPECT_EQ(playing(move), 0);
    press(ControlDown);  // up, held on, takes it straight back
    EXPECT_EQ(menu->selected, Pause_Menu::ChoiceReturn);
    EXPECT_EQ(playing(move), 0);

    press(ControlA);  // on "return"
    EXPECT_EQ(playing(pick), 1);
    EXPECT_TRUE(all<Pause_Menu>().empty());
}

TEST_F(PauseMenuTest, QuitLeavesTheLevel)
{
    holdSounds();
    Pause_Menu* menu = add(new Pause_Menu());
    manageWorld();
    frame();
    const int systems = activeSystemCount();
    menu->selected = Pause_Menu::ChoiceQuit;
    silence();
    fake_input::holdControl(0, ControlA);
    frame();
    EXPECT_EQ(titleMenusMade, 1);
    EXPECT_EQ(playing("resource/menu_pick.wav"), 1);
    EXPECT_EQ(activeSystemCount(), systems);
}

TEST_F(PauseMenuTest, OpenInItsOwnLevelOnly)
{
    SystPhysical other;
    openMenu();
    EXPECT_TRUE(Pause_Menu::isOpenIn(world.get()));
    EXPECT_FALSE(Pause_Menu::isOpenIn(&other));
}

TEST_F(PauseMenuTest, DarkensThePictureUnderTheHeadingAndTheTwoChoices)
{
    loadLangPack("english");
    Pause_Menu* menu = openMenu();
    SDL_FillRect(backBuffer, nullptr, 0x646464);
    world->draw(backBuffer);
    SDL_LockSurface(backBuffer);
    const u32 corner = static_cast<const u32*>(backBuffer->pixels)[0] & 0xFFFFFF;
    SDL_UnlockSurface(backBuffer);
    EXPECT_EQ(corner, 0x434343u);  // (100 + 34) / 2 = 67 on each channel

    SPF_CoGra orange(1), ice(0);
    EXPECT_TRUE(showsText(backBuffer, &ice, 160, 50, langText(u"pause", u"paused"), 1));
    EXPECT_TRUE(showsText(backBuffer, &ice, 160, 100, langText(u"pause", u"return"), 1));
    EXPECT_TRUE(showsText(backBuffer, &orange, 160, 116, langText(u"pause", u"quit"), 1));
    menu->selected = Pause_Menu::ChoiceQuit;
    world->draw(backBuffer);
    EXPECT_TRUE(showsText(backBuffer, &orange, 160, 100, langText(u"pause", u"return"), 1));
    EXPECT_TRUE(showsText(backBuffer, &ice, 160, 116, langText(u"pause", u"quit"), 1));
    unloadLangPack();
}

} // namespace
