#include <gtest/gtest.h>

#include "story/systmenu.h"

#include "core/bindingdesc.h"
#include "core/controlpad.h"
#include "core/draw.h"
#include "core/engine.h"
#include "core/font.h"
#include "core/gamesystem.h"
#include "core/input.h"
#include "core/lang.h"
#include "core/media.h"
#include "core/message.h"
#include "core/random.h"
#include "core/respack.h"
#include "core/settings.h"
#include "story/transition.h"
#include "tests/support/captured_output.h"
#include "tests/support/fake_input.h"
#include "tests/support/sdl_env.h"
#include "tests/support/on_screen.h"
#include "world/objects/backclouds.h"
#include "world/systphysical.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace {

struct ModeCall {
    int width;
    bool fullscreen;
};
std::vector<ModeCall> modeCalls;

int anyModeOK(int, int, int, u32)
{
    return 32;
}

// A mode the driver accepts but then cannot create.
ModeCall brokenMode = {0, false};

SDL_Surface* recordSetMode(int width, int height, int bpp, u32 flags)
{
    bool full = (flags & SDL_FULLSCREEN) != 0;
    modeCalls.push_back({width, full});
    if (width == brokenMode.width && full == brokenMode.fullscreen)
        return nullptr;
    return SDL_SetVideoMode(width, height, bpp, flags & ~SDL_FULLSCREEN);
}

// The title menu in the system manager, driven by held keys through whole engine frames.
class MenuTest : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        SDL_InitSubSystem(SDL_INIT_AUDIO);
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16SYS, 1, 1024), 0);
        initResourcePack();
        fake_input::install();
        initInput();
        loadLangPack("english");
        seedStream(0, 99);
        gameSettings = SettingsStore();
        modeCalls.clear();
        brokenMode = {0, false};
        setVideoModeApi({anyModeOK, recordSetMode});
        running = 1;
        messagesBefore = messagesShownCount();
        menu = new SystMenu();
        queueSystemAdd(menu);
        frame();
    }
    void TearDown() override
    {
        deleteAllGameSystems();
        resetInputState();  // a capture left waiting had the zone cursor shown
        restoreVideoModeApi();
        fake_input::uninstall();
        Mix_HaltMusic();  // freeing a module that is fading out waits for the fade
        freeAllSounds();
        freeAllMusic();
        freeAllSurfaces();
        releaseAllStreams();
        Mix_CloseAudio();
        fullscreen = 0;
        running = 0;
        SdlTest::TearDown();
    }

    void frame(int count = 1) { runFrames(count); }

    // Down for one frame, up for the next.
    void pressKey(u16 key)
    {
        fake_input::holdKey(key);
        frame();
        fake_input::releaseKey(key);
        frame();
    }
    void press(u8 control)
    {
        fake_input::holdControl(0, control);
        frame();
        fake_input::releaseControl(0, control);
        frame();
    }

    // The sounds started while the action ran. The mixer is held still meanwhile, so a short
    // sound cannot finish before it is counted.
    std::vector<Mix_Chunk*> soundsDuring(const std::function<void()>& action)
    {
        SDL_LockAudio();
        Mix_HaltChannel(-1);
        action();
        std::vector<Mix_Chunk*> played;
        for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel)
            if (Mix_Playing(channel))
                played.push_back(Mix_GetChunk(channel));
        SDL_UnlockAudio();
        return played;
    }
    Mix_Chunk* moveSound() { return loadSound("resource/menu_move.wav"); }
    Mix_Chunk* pickSound() { return loadSound("resource/menu_pick.wav"); }

    void toTitle() { pressKey(SDLK_RETURN); }
    void toOptions()
    {
        toTitle();
        press(ControlDown);
        press(ControlA);
        ASSERT_EQ(menu->currentPage(), PageOptions);
    }
    void toControls()
    {
        toOptions();
        press(ControlDown);
        press(ControlA);
        ASSERT_EQ(menu->currentPage(), PageControls);
    }
    void startCapture()
    {
        toControls();
        for (int i = 0; i < 3; ++i)
            press(ControlDown);
        press(ControlA);
        ASSERT_TRUE(menu->capturing());
    }
    void bindKey(u16 key) { pressKey(key); }
    u16 boundKey(u8 player, u8 control) { return getControlPad(player)->binding(control)->code(); }

    SystMenu* menu = nullptr;
    u32 messagesBefore = 0;
};

} // namespace

TEST_F(MenuTest, IntroGivesWayToTheTitleAfter150FramesWithATip)
{
    EXPECT_EQ(messagesShownCount(), messagesBefore) << lastMessageShown();
    const int systems = activeSystemCount();
    frame(149);
    EXPECT_EQ(menu->currentPage(), PageIntro);
    menu->draw(backBuffer);
    SDL_Surface* logo = loadGraphic("resource/logo.gif", true, 0, 0, 0, false);
    EXPECT_TRUE(showsCell(backBuffer, logo, SDL_Rect{0, 0, u16(logo->w), u16(logo->h)}, 123, 101, false))
        << "the logo, over its trembling shadow";
    // The shadow trembles 0 to 6 pixels right and 0 to 4 down of 3 left and 2 above the logo.
    auto paintedCorner = [&](bool logoAlone) {
        SDL_FillRect(backBuffer, nullptr, 0);
        logoAlone ? blitSurface(123, 101, logo, backBuffer, nullptr) : menu->draw(backBuffer);
        i32 left = backBuffer->w, top = backBuffer->h;
        for (i32 y = 0; y < backBuffer->h; ++y)
            for (i32 x = 0; x < backBuffer->w; ++x)
                if ((getPixel(backBuffer, u32(x), u32(y)) & 0xFFFFFF) != 0)
                    left = std::min(left, x), top = std::min(top, y);
        return std::make_pair(left, top);
    };
    const auto logoCorner = paintedCorner(true);
    std::set<i32> lefts, tops;  // of the picture, from the logo's own
    for (int i = 0; i < 30; ++i) {
        lefts.insert(paintedCorner(false).first - logoCorner.first);
        tops.insert(paintedCorner(false).second - logoCorner.second);
    }
    EXPECT_EQ(lefts, (std::set<i32>{-3, -2, -1, 0}));
    EXPECT_EQ(tops, (std::set<i32>{-2, -1, 0}));
    EXPECT_EQ(activeSystemCount(), systems);
    frame();
    EXPECT_EQ(menu->currentPage(), PageTitle);
    EXPECT_EQ(activeSystemCount(), systems + 1) << "the control tip joined";
}

TEST_F(MenuTest, ReturnSkipsTheIntro)
{
    fake_input::holdKey(SDLK_RETURN);
    frame();
    EXPECT_EQ(menu->currentPage(), PageTitle);
    menu->draw(backBuffer);
    SDL_Surface* title = loadGraphic("resource/title.gif", true, 0, 0, 0, false);
    EXPECT_TRUE(showsCell(backBuffer, title, SDL_Rect{0, 0, u16(title->w), 29}, 0, 3, false)) << "the game's name";
}

TEST_F(MenuTest, FirstMenuOfTheRunSetsTheStartingSettingsOnce)
{
    EXPECT_EQ(gameSettings.getInt("init"), 1);
    EXPECT_EQ(gameSettings.getInt("difficulty"), 1);
    EXPECT_EQ(gameSettings.getString("language"), u"op_lang_engl");

    gameSettings.setInt("difficulty", 3);
    gameSettings.setString("language", u"other");
    queueSystemAdd(new SystMenu());
    frame();
    EXPECT_EQ(gameSettings.getInt("difficulty"), 3);
    EXPECT_EQ(gameSettings.getString("language"), u"other");
}

TEST_F(MenuTest, TitleSelectionStopsAtBothEndsSilently)
{
    toTitle();
    EXPECT_TRUE(soundsDuring([&] { press(ControlUp); }).empty());
    EXPECT_EQ(menu->selectedItem(), 0);
    EXPECT_EQ(soundsDuring([&] { press(ControlDown); }), std::vector<Mix_Chunk*>{moveSound()});
    press(ControlDown);
    EXPECT_EQ(menu->selectedItem(), 2);
    EXPECT_TRUE(soundsDuring([&] { press(ControlDown); }).empty());
    EXPECT_EQ(menu->selectedItem(), 2);
}

// The pages as drawn: each text with its font (orange, the chosen item ice), place and alignment.
class MenuPageTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        fonts = std::make_unique<Fonts>();
    }
    ::testing::AssertionResult shows(SPFont& font, i16 x, i16 y, const std::u16string& text, u8 alignment = 1)
    {
        return showsText(backBuffer, &font, x, y, text, alignment);
    }
    void showsItems(i16 x, i16 y, u8 alignment, size_t chosen, const std::vector<std::u16string>& items)
    {
        for (size_t i = 0; i < items.size(); ++i)  // 16 pixels apart
            EXPECT_TRUE(shows(i == chosen ? fonts->ice : fonts->orange, x, i16(y + 16 * i), items[i], alignment)) << i;
    }
    std::u16string lang(const char16_t* category, const char16_t* item) { return langText(category, item); }
    void draw() { menu->draw(backBuffer); }

    // Made once the media cache can load their sheets, which stay its own.
    struct Fonts {
        SPF_CoGra orange{1};
        SPF_CoGra ice{0};
        SPF_Small small{0};
    };
    std::unique_ptr<Fonts> fonts;
};

TEST_F(MenuPageTest, TitleShowsItsThreeItemsDownTheMiddle)
{
    toTitle();
    press(ControlDown);
    draw();
    showsItems(160, 144, 1, 1, {lang(u"menu", u"new"), lang(u"menu", u"options"), lang(u"menu", u"quit")});
    const std::set<u32> bars = {33, 34, 37, 122, 125, 126};  // black lines across, framing the backdrop
    for (u32 row = 32; row < 128; ++row) {
        EXPECT_EQ(getPixel(backBuffer, 0, row) == 0xFF000000u, bars.count(row) == 1) << row;
        EXPECT_EQ(getPixel(backBuffer, 319, row) == 0xFF000000u, bars.count(row) == 1) << row;
    }
}

TEST_F(MenuPageTest, OptionsShowTheScaleAndFullScreenAsTheyStand)
{
    toOptions();
    draw();
    EXPECT_TRUE(shows(fonts->orange, 160, 0, u"Options"));
    SDL_Surface* back = loadGraphic("resource/menu_back_1.gif", false, 0, 0, 0, false);
    EXPECT_EQ(getPixel(backBuffer, 319, 239), getPixel(back, 319 % back->w, 239 % back->h)) << "the tiled backdrop";
    showsItems(160, 32, 1, 0,
               {lang(u"menu", u"op_return"), lang(u"menu", u"op_config"), lang(u"menu", u"op_screensize") + u"x1",
                lang(u"menu", u"op_fullscreen") + lang(u"general", u"no"), lang(u"menu", u"op_lang")});

    scaleX = 3;
    fullscreen = 1;
    press(ControlDown);
    draw();
    scaleX = 1;
    showsItems(160, 32, 1, 1,
               {lang(u"menu", u"op_return"), lang(u"menu", u"op_config"), lang(u"menu", u"op_screensize") + u"x3",
                lang(u"menu", u"op_fullscreen") + lang(u"general", u"yes")});
}

const char16_t* const ControlLabels[8] = {u"up", u"down", u"left", u"right", u"a", u"b", u"x", u"y"};

TEST_F(MenuPageTest, ControlsShowTheItemsAndEveryBindingOfTheShownPlayer)
{
    toControls();
    draw();
    EXPECT_TRUE(shows(fonts->orange, 160, 0, lang(u"control", u"menu_title")));
    showsItems(10, 32, 0, 0,
               {lang(u"control", u"menu_return"), lang(u"control", u"player") + lang(u"control", u"player_single"),
                lang(u"control", u"preset") + lang(u"control", u"unavailable"), lang(u"control", u"custom")});
    EXPECT_TRUE(shows(fonts->small, 8, 232, lang(u"control", u"reset"), 0));
    EXPECT_EQ(getPixel(backBuffer, 0, 230), 0xFFFFB200u);
    EXPECT_EQ(getPixel(backBuffer, 319, 230), 0xFFFFB200u);
    for (u8 c = 0; c < 8; ++c) {
        const i16 row = i16(96 + 16 * c);
        EXPECT_TRUE(shows(fonts->small, 16, row, lang(u"control", ControlLabels[c]) + u":", 0)) << int(c);
        EXPECT_TRUE(shows(fonts->small, 30, i16(row + 8), describeBinding(*getControlPad(0)->binding(c)), 0)) << int(c);
    }

    press(ControlDown);
    for (int i = 0; i < 3; ++i)
        press(ControlRight);
    draw();
    EXPECT_TRUE(shows(fonts->orange, 10, 32, lang(u"control", u"menu_return"), 0));
    EXPECT_TRUE(shows(fonts->ice, 10, 48, lang(u"control", u"player") + lang(u"control", u"player_multi") + u"3", 0));
    for (u8 c = 0; c < 8; ++c)
        EXPECT_TRUE(shows(fonts->small, 30, i16(104 + 16 * c), describeBinding(*getControlPad(3)->binding(c)), 0));
}

TEST_F(MenuPageTest, TheControlWaitingForInputStepsInAndShowsThePromptAndItsDescription)
{
    startCapture();
    bindKey(SDLK_w);  // "up" is bound, "down" waits
    ASSERT_TRUE(menu->capturing());
    draw();
    EXPECT_TRUE(shows(fonts->small, 16, 96, lang(u"control", u"up") + u":", 0));
    EXPECT_TRUE(shows(fonts->small, 20, 112, lang(u"control", u"down") + u":", 0));
    EXPECT_TRUE(shows(fonts->small, 30, 120, lang(u"control", u"prompt"), 0) ||
                shows(fonts->small, 31, 120, lang(u"control", u"prompt"), 0))
        << "the prompt trembles by one pixel";
    EXPECT_TRUE(shows(fonts->small, 8, 232, lang(u"control", u"desc_down"), 0));
    EXPECT_TRUE(shows(fonts->small, 16, 128, lang(u"control", u"left") + u":", 0));
}

TEST_F(MenuTest, OptionsOpenBehindATransitionAndBClosesThemAtOnce)
{
    toTitle();
    press(ControlDown);
    fake_input::holdControl(0, ControlA);
    frame();
    EXPECT_EQ(menu->currentPage(), PageTitle) << "the page switches at the hand-over";
    ASSERT_NE(currentTransition, nullptr);
    fake_input::releaseControl(0, ControlA);
    frame();
    EXPECT_EQ(menu->currentPage(), PageOptions);
    EXPECT_EQ(menu->selectedItem(), 0);
    frame(60);
    ASSERT_EQ(currentTransition, nullptr);

    press(ControlB);
    EXPECT_EQ(menu->currentPage(), PageTitle);
    EXPECT_EQ(menu->selectedItem(), 1);
    EXPECT_EQ(currentTransition, nullptr);
}

TEST_F(MenuTest, WindowSizeStepsWithinOneToFive)
{
    toOptions();
    press(ControlDown);
    press(ControlDown);
    ASSERT_EQ(menu->selectedItem(), 2);
    ASSERT_EQ(scaleX, 1u);

    press(ControlRight);
    EXPECT_EQ(scaleX, 2u);
    EXPECT_EQ(scaleY, 2u);
    ASSERT_EQ(modeCalls.size(), 1u);
    EXPECT_EQ(modeCalls[0].width, 640);
    EXPECT_EQ(screenSurface->w, 640);

    for (int i = 0; i < 5; ++i)
        press(ControlRight);
    EXPECT_EQ(scaleX, 5u);
    EXPECT_EQ(modeCalls.size(), 4u) << "no new window once at 5";

    for (int i = 0; i < 6; ++i)
        press(ControlLeft);
    EXPECT_EQ(scaleX, 1u);
    ASSERT_EQ(modeCalls.size(), 8u) << "no new window once at 1";
    EXPECT_EQ(modeCalls.back().width, 320);
}

TEST_F(MenuTest, FullScreenTogglesAndResetsTheScale)
{
    toOptions();
    for (int i = 0; i < 3; ++i)
        press(ControlDown);
    scaleX = scaleY = 3;
    press(ControlA);
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(scaleX, 1u);
    EXPECT_EQ(scaleY, 1u);
    ASSERT_EQ(modeCalls.size(), 1u);
    EXPECT_TRUE(modeCalls[0].fullscreen);
    EXPECT_EQ(modeCalls[0].width, 320);

    press(ControlLeft);
    EXPECT_EQ(fullscreen, 0);
    ASSERT_EQ(modeCalls.size(), 2u);
    EXPECT_FALSE(modeCalls[1].fullscreen);
}

// The page shows scaleX and the full-screen flag; both must match the window actually open.
TEST_F(MenuTest, AModeTheDriverCannotCreateGivesBackTheOneInUse)
{
    toOptions();
    press(ControlDown);
    press(ControlDown);
    press(ControlRight);
    press(ControlRight);
    ASSERT_EQ(screenSurface->w, 960);
    brokenMode = {1280, false};
    press(ControlRight);
    EXPECT_EQ(scaleX, 3u);
    EXPECT_EQ(scaleY, 3u);
    EXPECT_EQ(screenSurface->w, 960);
    EXPECT_EQ(modeCalls.back().width, 960);

    brokenMode = {320, true};
    press(ControlDown);
    press(ControlA);
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(scaleX, 3u);
    EXPECT_EQ(screenSurface->w, 960);
    EXPECT_EQ(running, 1);
}

TEST_F(MenuTest, LanguageItemOnlyPlaysThePickSound)
{
    toOptions();
    for (int i = 0; i < 4; ++i)
        press(ControlDown);
    ASSERT_EQ(menu->selectedItem(), 4);
    Transition* running = currentTransition;  // the one that opened the page
    for (u8 control : {ControlA, ControlRight, ControlLeft})
        EXPECT_EQ(soundsDuring([&] { press(control); }), std::vector<Mix_Chunk*>{pickSound()});
    EXPECT_EQ(soundsDuring([&] { pressKey(SDLK_RETURN); }), std::vector<Mix_Chunk*>{pickSound()});
    EXPECT_EQ(menu->currentPage(), PageOptions);
    EXPECT_EQ(menu->selectedItem(), 4);
    EXPECT_EQ(currentTransition, running);
    EXPECT_TRUE(modeCalls.empty());
}

TEST_F(MenuTest, PlayerItemWrapsAroundNinePlayers)
{
    toControls();
    EXPECT_EQ(menu->shownPlayer(), 0);
    press(ControlDown);
    press(ControlLeft);
    EXPECT_EQ(menu->shownPlayer(), 8);
    press(ControlRight);
    EXPECT_EQ(menu->shownPlayer(), 0);
    press(ControlRight);
    EXPECT_EQ(menu->shownPlayer(), 1);

    press(ControlB);
    EXPECT_EQ(menu->currentPage(), PageOptions);
    EXPECT_EQ(menu->selectedItem(), 1);
}

TEST_F(MenuTest, CaptureBindsAllEightControlsInTurn)
{
    startCapture();
    EXPECT_EQ(menu->selectedItem(), 4);
    const u16 keys[8] = {SDLK_w, SDLK_s, SDLK_a, SDLK_d, SDLK_j, SDLK_k, SDLK_l, SDLK_SEMICOLON};
    for (int c = 0; c < 7; ++c) {
        bindKey(keys[c]);
        EXPECT_EQ(menu->selectedItem(), 5 + c);
    }
    bindKey(keys[7]);
    EXPECT_FALSE(menu->capturing());
    EXPECT_EQ(menu->selectedItem(), 3);
    for (u8 c = 0; c < 8; ++c)
        EXPECT_EQ(boundKey(0, c), keys[c]) << "control " << int(c);
    // The new keys drive the menu from now on.
    press(ControlUp);
    EXPECT_EQ(menu->selectedItem(), 2);
}

TEST_F(MenuTest, EscapeAndFunctionKeysAreRefused)
{
    startCapture();
    bindKey(SDLK_ESCAPE);
    bindKey(SDLK_F5);
    bindKey(SDLK_F15);
    EXPECT_EQ(menu->selectedItem(), 4) << "still waiting for up";
    EXPECT_EQ(boundKey(0, ControlUp), SDLK_UP);
    bindKey(SDLK_F11 - 1);  // F10 is refused too; the key below F1 is not
    bindKey(SDLK_F1 - 1);
    EXPECT_EQ(boundKey(0, ControlUp), SDLK_F1 - 1);
}

TEST_F(MenuTest, BindingAnInputUsedElsewhereSwapsTheTwo)
{
    startCapture();
    ASSERT_EQ(boundKey(0, ControlA), SDLK_z);
    bindKey(SDLK_z);
    EXPECT_EQ(boundKey(0, ControlUp), SDLK_z);
    EXPECT_EQ(boundKey(0, ControlA), SDLK_UP);
}

TEST_F(MenuTest, FinishingPlayerZerosControlsShowsATip)
{
    startCapture();
    for (u16 key : {SDLK_1, SDLK_2, SDLK_3, SDLK_4, SDLK_5, SDLK_6, SDLK_7})
        bindKey(key);
    const int systems = activeSystemCount();
    bindKey(SDLK_8);
    EXPECT_EQ(activeSystemCount(), systems + 1);
}

TEST_F(MenuTest, FinishingAnotherPlayersControlsShowsNoTip)
{
    toControls();
    press(ControlDown);
    for (int i = 0; i < 3; ++i)
        press(ControlRight);
    ASSERT_EQ(menu->shownPlayer(), 3);
    press(ControlDown);
    press(ControlDown);
    press(ControlA);
    ASSERT_TRUE(menu->capturing());
    for (u16 key : {SDLK_1, SDLK_2, SDLK_3, SDLK_4, SDLK_5, SDLK_6, SDLK_7})
        bindKey(key);
    const int systems = activeSystemCount();
    bindKey(SDLK_8);
    EXPECT_FALSE(menu->capturing());
    EXPECT_EQ(activeSystemCount(), systems);
    EXPECT_EQ(boundKey(3, ControlY), SDLK_8);
    EXPECT_EQ(boundKey(0, ControlY), SDLK_v) << "player 0 keeps the keyboard";
}

TEST_F(MenuTest, BackdropRunsOnlyWhileTheTitleShows)
{
    const u32 atStart = menu->backdrop()->frame();
    frame(20);
    EXPECT_EQ(menu->backdrop()->frame(), atStart) << "not during the intro";
    toTitle();
    const u32 onTitle = menu->backdrop()->frame();
    frame(10);
    EXPECT_EQ(menu->backdrop()->frame(), onTitle + 10);
    press(ControlDown);
    press(ControlA);
    ASSERT_EQ(menu->currentPage(), PageOptions);
    const u32 leaving = menu->backdrop()->frame();
    frame(30);
    EXPECT_EQ(menu->backdrop()->frame(), leaving);
    press(ControlB);
    frame(5);
    EXPECT_GT(menu->backdrop()->frame(), leaving);
}

// The backdrop's looper wraps the world every 960 frames of its 1-pixel pan; one loop later the
// band must show the same ground. The sky drifts on its own, so it is hidden here.
TEST_F(MenuTest, BackdropLoopsWithoutASeam)
{
    constexpr u32 Loop = 960;
    constexpr int BandTop = 32, BandRows = 96;
    toTitle();
    SystPhysical* backdrop = menu->backdrop();
    ASSERT_GT(backdrop->frame(), 0u);
    for (Physical* p = backdrop->firstOfType(FlagAll); backdrop->hasMoreOfType(); p = backdrop->nextOfType()) {
        if (dynamic_cast<BackClouds*>(p))
            p->hiddenCount = 1;
    }
    auto band = [&] {
        menu->draw(backBuffer);
        const u32* pixels = static_cast<const u32*>(backBuffer->pixels);
        const int stride = backBuffer->pitch / 4;
        return std::vector<u32>(pixels + BandTop * stride, pixels + (BandTop + BandRows) * stride);
    };
    std::map<u32, std::vector<u32>> firstLoop;
    int seams = 0;
    while (backdrop->frame() < 80 + Loop) {
        menu->update();
        const u32 f = backdrop->frame();
        if (f >= 20 && f < 80)
            firstLoop[f] = band();
        else if (firstLoop.count(f - Loop))
            seams += band() != firstLoop[f - Loop];
    }
    EXPECT_EQ(seams, 0) << "frames whose band differs from the same moment a loop earlier";
}

TEST_F(MenuTest, NewGameReplacesTheMenuAtTheHandOver)
{
    toTitle();
    const int systems = activeSystemCount();
    fake_input::holdControl(0, ControlA);
    frame();
    ASSERT_NE(currentTransition, nullptr);
    EXPECT_EQ(currentTransition->callbackTarget(), menu);
    fake_input::releaseControl(0, ControlA);
    frame();
    // The menu is gone (the transition forgot it) and the level joined in its place.
    EXPECT_EQ(currentTransition->callbackTarget(), nullptr);
    EXPECT_EQ(activeSystemCount(), systems + 1);
    menu = nullptr;
    frame(60);
    EXPECT_EQ(activeSystemCount(), systems);
}

TEST_F(MenuTest, ASecondChoiceDuringTheHandOverStartsNothingMore)
{
    toTitle();
    const int systems = activeSystemCount();
    fake_input::holdControl(0, ControlA);
    frame();
    fake_input::holdKey(SDLK_RETURN);  // chooses again before the first hand-over
    frame();
    menu = nullptr;
    fake_input::releaseAll();
    frame(70);
    EXPECT_EQ(activeSystemCount(), systems) << "one level, no menu, no transition";
    EXPECT_EQ(running, 1);
}

TEST_F(MenuTest, QuitEndsTheProgramAfterTheHandOver)
{
    toTitle();
    press(ControlDown);
    press(ControlDown);
    fake_input::holdControl(0, ControlA);
    EXPECT_EQ(runFrames(1), FrameResult::Continue);
    EXPECT_EQ(runFrames(1), FrameResult::Quit);
}

TEST_F(MenuTest, TheEditorCodeHandsOverToTheLevelEditor)
{
    toTitle();
    const int systems = activeSystemCount();
    menu->onTransition(OpenLevelEditor);
    EXPECT_EQ(splitLines(lastMessageShown()).at(3), "----------------GETTING STARTED:")
        << "the editor greets with its first help page";
    frame();
    menu = nullptr;
    EXPECT_EQ(activeSystemCount(), systems);
    // The editor runs in the menu's place: F1 brings up the tile picker's help.
    fake_input::holdKey(SDLK_F1);
    frame();
    EXPECT_EQ(splitLines(lastMessageShown()).at(3), "----------------TILESET VIEWER:");
}

TEST_F(MenuTest, TheOnlineCodeHandsOverToTheOnlineConsole)
{
    toTitle();
    const int systems = activeSystemCount();
    menu->onTransition(OpenOnlineConsole);
    frame();
    menu = nullptr;
    EXPECT_EQ(activeSystemCount(), systems);
    // The console's title bar is drawn across the top of the screen.
    SDL_FillRect(backBuffer, nullptr, 0);
    drawGameSystems(backBuffer);
    EXPECT_EQ(getPixel(backBuffer, 319, 0) & 0xFFFFFF, 0x281D45u);
}

TEST_F(MenuTest, UnknownCodesChangeNothing)
{
    toTitle();
    const int systems = activeSystemCount();
    menu->onTransition(42);
    frame();
    EXPECT_EQ(activeSystemCount(), systems);
    EXPECT_EQ(menu->currentPage(), PageTitle);
    EXPECT_EQ(running, 1);
}
