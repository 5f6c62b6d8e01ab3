#include <gtest/gtest.h>

#include "tests/core/scratch_resources.h"
#include "tests/support/fake_input.h"
#include "tests/support/font_sheets.h"
#include "tests/support/sdl_env.h"

#include "core/controlpad.h"
#include "core/draw.h"
#include "core/engine.h"
#include "core/input.h"
#include "core/media.h"
#include "core/message.h"
#include "core/modal.h"
#include "core/platform.h"
#include "core/respack.h"

#include <csignal>
#include <filesystem>
#include <functional>

namespace {

using namespace font_sheets;

class MessageScreen : public ScratchResources {
protected:
    void SetUp() override
    {
        ScratchResources::SetUp();
        writeAllSheets();
    }
    // True when the large ice glyph of `code` has its top-left corner at (x, y) of the window.
    bool glyphAt(int x, int y, u16 code)
    {
        return getPixel(screenSurface, x, y) == largeGlyphPixel(LargeIce, code) &&
               getPixel(screenSurface, x + 7, y + 13) == largeGlyphPixel(LargeIce, code, 7, 13);
    }
};

TEST_F(MessageScreen, ShowsLinesFourteenPixelsApartUntilReturn)
{
    SDL_FillRect(screenSurface, nullptr, 0x123456);
    modal_script::pushKey(SDLK_a);
    modal_script::pushKey(SDLK_RETURN);
    modal_script::pushKey(SDLK_b);
    showMessageScreen("AB\nC");
    EXPECT_EQ(modal_script::eventsServed(), 2);
    EXPECT_TRUE(glyphAt(0, 0, 'A'));
    EXPECT_TRUE(glyphAt(8, 0, 'B'));
    EXPECT_TRUE(glyphAt(0, 14, 'C'));
    EXPECT_EQ(getPixel(screenSurface, 300, 200), 0u);
    EXPECT_EQ(lastMessageShown(), "AB\nC");
}

TEST_F(MessageScreen, ArrowsScrollByTwelveAndSpaceResets)
{
    for (SDLKey key : {SDLK_UP, SDLK_UP, SDLK_UP, SDLK_LEFT, SDLK_LSHIFT})
        modal_script::pushKey(key);
    showMessageScreen("AB\nC");
    EXPECT_TRUE(glyphAt(12, 36, 'A'));
    EXPECT_TRUE(glyphAt(12, 50, 'C'));
    EXPECT_EQ(getPixel(screenSurface, 0, 0), 0u);

    modal_script::install();
    for (SDLKey key : {SDLK_DOWN, SDLK_RIGHT, SDLK_RIGHT})
        modal_script::pushKey(key);
    showMessageScreen("ABCD\nWXYZ");
    EXPECT_TRUE(glyphAt(0, 2, 'Z'));
    EXPECT_FALSE(glyphAt(0, 0, 'A'));

    modal_script::install();
    for (SDLKey key : {SDLK_DOWN, SDLK_RIGHT, SDLK_SPACE})
        modal_script::pushKey(key);
    showMessageScreen("A\nB");
    EXPECT_TRUE(glyphAt(0, 0, 'A'));
    EXPECT_TRUE(glyphAt(0, 14, 'B'));
}

// An arrow moves the text at its press and again at every poll that finds no event, until any
// other event comes: the key's release, or the mouse moving while the arrow is still held.
TEST_F(MessageScreen, HeldArrowScrollsUntilTheNextEvent)
{
    modal_script::pushKey(SDLK_UP);
    modal_script::pushIdle(2);
    modal_script::pushKeyUp(SDLK_UP);
    modal_script::pushIdle(2);
    showMessageScreen("AB\nC");
    EXPECT_TRUE(glyphAt(0, 36, 'A'));
    EXPECT_TRUE(glyphAt(0, 50, 'C'));

    modal_script::install();
    modal_script::pushKey(SDLK_LEFT);
    modal_script::pushIdle(1);
    modal_script::pushMouseMotion();
    modal_script::pushIdle(3);
    showMessageScreen("AB\nC");
    EXPECT_TRUE(glyphAt(24, 0, 'A'));
}

ModalPoll noteKeyRepeatThenQuit(SDL_Event* event)
{
    int delay = -1, interval = -1;
    SDL_GetKeyRepeat(&delay, &interval);
    EXPECT_EQ(delay, 0) << "key repeat is never turned on";
    event->type = SDL_QUIT;
    return ModalPoll::Event;
}

TEST_F(MessageScreen, ScrollingNeedsNoKeyRepeat)
{
    SDL_EnableKeyRepeat(0, 0);
    setModalEventSource(noteKeyRepeatThenQuit);
    showMessageScreen("A");
}

// Keys are read from SDL's own key state, which the scripted events set as a keyboard does.
TEST_F(MessageScreen, NoPressOrReleaseLeaksOutOfAModalWait)
{
    fake_input::install();
    initInput();
    const u16 jumpKey = getControlPad(0)->binding(ControlA)->code();
    const u16 backKey = getControlPad(0)->binding(ControlB)->code();
    const std::vector<std::function<void()>> waits = {
        [] { showMessageScreen("HELP"); },
        [] { promptText("NAME?"); },
        [] { waitForQuitOrReturn(); },
    };
    for (const auto& wait : waits) {
        modal_script::install();
        fake_input::releaseAll();
        fake_input::setMousePosition(0, 0);
        updateInput();
        // F1 opens the wait; F3, the back control and the left button go down in the same frame
        // as the pointer moves and the right button clicks between two samples.
        for (u16 key : {u16(SDLK_F1), u16(SDLK_F3), backKey})
            fake_input::holdKey(key);
        fake_input::holdMouseButton(SDL_BUTTON_LEFT);
        fake_input::setMousePosition(40, 0);
        updateInput();
        SDL_Event click{};
        click.button = {SDL_MOUSEBUTTONDOWN, 0, SDL_BUTTON_RIGHT, SDL_PRESSED, 0, 0};
        handleInputEvent(click);
        ASSERT_TRUE(keyPressed(SDLK_F1));
        // F1, F3 and the back control are let go inside the wait, as a hand taps them; the jump
        // key and Return go down inside it, and the pointer moves down. The frame's own sample
        // stands for the rest of it.
        for (u16 key : {u16(SDLK_F1), u16(SDLK_F3), backKey})
            modal_script::pushKeyUp(SDLKey(key));
        modal_script::pushMouseButtonUp(SDL_BUTTON_LEFT);
        modal_script::pushPointerMove(40, 30);
        modal_script::pushKey(SDLKey(jumpKey));
        modal_script::pushKey(SDLK_RETURN);
        wait();
        EXPECT_TRUE(keyPressed(SDLK_F3));
        EXPECT_FALSE(keyHeld(SDLK_RETURN));
        EXPECT_TRUE(mouseButtonPressed(SDL_BUTTON_LEFT));
        EXPECT_TRUE(mouseButtonPressed(SDL_BUTTON_RIGHT));
        EXPECT_TRUE(getControlPad(0)->pressed(ControlB));
        EXPECT_FALSE(getControlPad(0)->held(ControlA));
        EXPECT_EQ(mouseDeltaX(), 40);
        EXPECT_EQ(mouseY(), 0);
        // From the next sample on, nothing that changed inside the wait is a press or a release.
        for (int frame = 0; frame < 2; ++frame) {
            updateInput();
            EXPECT_FALSE(keyPressed(SDLK_RETURN)) << "frame " << frame;
            EXPECT_TRUE(keyHeld(SDLK_RETURN));
            EXPECT_FALSE(keyReleased(SDLK_F1) || keyReleased(SDLK_F3) || mouseButtonReleased(SDL_BUTTON_LEFT));
            EXPECT_FALSE(getControlPad(0)->released(ControlB));
            EXPECT_FALSE(getControlPad(0)->pressed(ControlA));
            EXPECT_TRUE(getControlPad(0)->held(ControlA));
            EXPECT_EQ(mouseDeltaX(), 0);
            EXPECT_EQ(mouseDeltaY(), 0);
        }
        EXPECT_EQ(mouseY(), 30);
    }
    shutdownInput();
    fake_input::uninstall();
}

// SIGTERM and SIGINT end every modal wait at once, and the frame loop after its frame.
TEST_F(MessageScreen, TerminateRequestEndsModalWaitsAndTheLoop)
{
    installTerminateHandlers();
    for (int signal : {SIGTERM, SIGINT}) {
        std::raise(signal);
        modal_script::pushKey(SDLK_x, 'x');
        modal_script::pushKey(SDLK_RETURN);
        showMessageScreen("WAITING");
        EXPECT_EQ(promptText("NAME?"), "");
        waitForQuitOrReturn();
        EXPECT_EQ(modal_script::eventsServed(), 0);
        running = 1;
        EXPECT_EQ(runOneFrame(false), FrameResult::Quit);
        clearTerminateRequest();
    }
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

// Launched away from its data, the game moves into the source tree of the build that made it.
TEST(DataFolder, FoundInTheSourceTreeOfTheBuildThatMadeTheProgram)
{
    namespace fs = std::filesystem;
    ScratchDir scratch;
    const fs::path source = fs::current_path();
    fs::create_directories("resource");
    fs::create_directory("elsewhere");
    fs::current_path("elsewhere");
    const fs::path own = fs::read_symlink("/proc/self/exe").parent_path();
    rememberBuild(own.c_str(), source.c_str());
    EXPECT_TRUE(enterDataFolder());
    EXPECT_EQ(fs::current_path(), source);
    rememberBuild("", "");  // a copy of the program taken elsewhere looks nowhere else
    fs::current_path("elsewhere");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(enterDataFolder());
    const std::string looked = '"' + own.string() + "\", \"" + own.parent_path().string() + '"';
    EXPECT_NE(testing::internal::GetCapturedStdout().find(looked), std::string::npos) << "all it looked in";
    EXPECT_EQ(fs::current_path(), source / "elsewhere");
}

TEST_F(MessageScreen, QuitDismissesAndIsUsedUp)
{
    modal_script::pushQuit();
    modal_script::pushKey(SDLK_RETURN);
    showMessageScreen("X");
    EXPECT_EQ(modal_script::eventsServed(), 1);
}

TEST_F(MessageScreen, WithoutAWindowTheTextIsLogged)
{
    SDL_Surface* window = screenSurface;
    screenSurface = nullptr;
    testing::internal::CaptureStdout();
    showMessageScreen("NO\nWINDOW");
    std::string logged = testing::internal::GetCapturedStdout();
    screenSurface = window;
    EXPECT_EQ(logged, "NO WINDOW\n");
    EXPECT_EQ(lastMessageShown(), "NO\nWINDOW");
    EXPECT_EQ(modal_script::eventsServed(), 0);
}

TEST_F(MessageScreen, MissingFontIsReportedOnceWithoutRecursion)
{
    std::remove("resource/f_ice.gif");
    u32 before = messagesShownCount();
    testing::internal::CaptureStdout();
    showMessageScreen("first");
    showMessageScreen("second");
    std::string logged = testing::internal::GetCapturedStdout();
    // One nested report of the font, then each message shown (blank, so also logged) once.
    EXPECT_EQ(messagesShownCount(), before + 3);
    EXPECT_EQ(modal_script::eventsServed(), 2);
    EXPECT_EQ(lastMessageShown(), "second");
    EXPECT_NE(logged.find("resource/f_ice.gif"), std::string::npos);
    EXPECT_NE(logged.find("first"), std::string::npos);
}

std::string typeInPrompt(const std::vector<std::pair<SDLKey, Uint16>>& keys)
{
    for (auto [key, unicode] : keys)
        modal_script::pushKey(key, unicode);
    return promptText("NAME?");
}

TEST_F(MessageScreen, PromptEditsOneLine)
{
    EXPECT_EQ(typeInPrompt({{SDLK_a, 'a'}, {SDLK_b, 'b'}, {SDLK_BACKSPACE, 8}, {SDLK_c, 'c'},
                            {SDLK_RETURN, 13}, {SDLK_d, 'd'}}),
              "ac");
    EXPECT_EQ(modal_script::eventsServed(), 5);
    EXPECT_TRUE(glyphAt(0, 0, 'N'));
    EXPECT_TRUE(glyphAt(0, 14, '>'));
    EXPECT_TRUE(glyphAt(16, 14, 'a'));
    EXPECT_TRUE(glyphAt(24, 14, 'c'));
    EXPECT_TRUE(glyphAt(32, 14, '_'));

    modal_script::install();
    EXPECT_EQ(typeInPrompt({{SDLK_BACKSPACE, 8}, {SDLK_KP_ENTER, 13}, {SDLK_UP, 0}, {SDLK_x, 'x'},
                            {SDLK_ESCAPE, 27}, {SDLK_y, 0x179}, {SDLK_RETURN, 13}}),
              std::string("x\x1By"));

    // Closing the window ends the prompt with what was typed so far.
    modal_script::install();
    EXPECT_EQ(typeInPrompt({{SDLK_q, 'q'}}), "q");
    EXPECT_EQ(modal_script::eventsServed(), 2);
}

TEST_F(MessageScreen, PromptRestoresUnicodeTranslation)
{
    SDL_EnableUNICODE(0);
    typeInPrompt({});
    EXPECT_EQ(SDL_EnableUNICODE(-1), 0);
    SDL_EnableUNICODE(1);
    typeInPrompt({});
    EXPECT_EQ(SDL_EnableUNICODE(-1), 1);
    SDL_EnableUNICODE(0);
}

TEST_F(MessageScreen, DrawTextPicksTheFont)
{
    SDL_FillRect(backBuffer, nullptr, 0);
    drawText(10, 10, "A\nB", 1, 3, backBuffer);
    EXPECT_EQ(getPixel(backBuffer, 10, 10), sheetPixel(SmallBlack, 5, 12));
    EXPECT_EQ(getPixel(backBuffer, 10, 16), sheetPixel(SmallBlack, 10, 12));
    drawText(100, 100, "A", 0, 1, backBuffer);
    EXPECT_EQ(getPixel(backBuffer, 100, 100), largeGlyphPixel(LargeOrange, 'A'));
    drawText(200, 100, "A", 2, 0, backBuffer);
    EXPECT_EQ(getPixel(backBuffer, 207, 113), largeGlyphPixel(LargeIce, 'A', 7, 13));
}

} // namespace
