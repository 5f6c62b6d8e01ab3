// The real game from its start-up, driven by seeded random input through whole frames without
// sleeping: the title menu, the demo level and back, and the level editor and the online console,
// opened through the title menu's codes. Keys go down as a keyboard's do, held and reported by a
// key-down event with their character, so the console gets typed lines. Under the sanitizers
// nothing may crash or report, every modal wait must end, each return to the title must find as
// many live objects and made surfaces as the first time the title came up, and the console must
// have answered a line that was typed.
//
// CI runs 10,000 frames. The full soak:
//   export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
//   WARDEN_SOAK_FRAMES=100000 build-test/tests/test_story --gtest_filter='Soak.*'
// WARDEN_SOAK_SEED picks another input sequence (the default is 1).
#include <gtest/gtest.h>

#include "core/engine.h"
#include "core/gamesystem.h"
#include "core/input.h"
#include "core/lang.h"
#include "core/media.h"
#include "core/random.h"
#include "core/respack.h"
#include "editor/systeditor.h"
#include "online/systostrenet.h"
#include "story/level_exit.h"
#include "story/systmenu.h"
#include "story/transition.h"
#include "tests/support/fake_input.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sdl_env.h"
#include "world/physical.h"
#include "world/systphysical.h"

#include <SDL/SDL_mixer.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <sys/resource.h>
#include <vector>

namespace {

u32 fromEnvironment(const char* name, u32 fallback)
{
    const char* value = std::getenv(name);
    return value ? u32(std::strtoul(value, nullptr, 10)) : fallback;
}

// Held in the key-state array, which play reads, and reported by an event with the key's
// character, which typing reads. The keys pressed here type what their code says, or nothing.
void pressKey(u16 key)
{
    fake_input::holdKey(key);
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = SDLKey(key);
    event.key.keysym.unicode = key < 128 ? key : 0;
    EXPECT_EQ(SDL_PushEvent(&event), 0);
}

// What the console answers a line that no host or client takes: chat, which is all the keys
// pressed here can type.
const std::string UnhandledLine = "(Input was not handled)\n";

// What random play presses. No '/': typed lines never become the console's network commands,
// so the soak never touches the online ports (the host has its own abuse test).
// Shift and Alt with Space reach the editor's view-path and catalogue modes.
const std::vector<u16> PlayKeys = {SDLK_LEFT,   SDLK_RIGHT,  SDLK_UP, SDLK_DOWN, SDLK_z, SDLK_x,
                                   SDLK_v,      SDLK_RETURN, SDLK_SPACE, SDLK_a, SDLK_s, SDLK_1,
                                   SDLK_BACKSPACE, SDLK_LSHIFT, SDLK_LALT, SDLK_LCTRL};
// Rarer keys: leaving a screen, the editor's help, files and test play, mute.
const std::vector<u16> RareKeys = {SDLK_ESCAPE, SDLK_F1, SDLK_F2, SDLK_F3, SDLK_F4, SDLK_F5};
// Answers for modal waits: prompts take letters, Return ends them.
const std::vector<SDLKey> ModalKeys = {SDLK_RETURN, SDLK_y, SDLK_n, SDLK_a, SDLK_1, SDLK_BACKSPACE};

class Soak : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        // The editor's files and test play land in the scratch folder, beside links to the data.
        const std::filesystem::path repo = std::filesystem::current_path();
        scratch = std::make_unique<ScratchDir>();
        for (const char* name : {"resource", "demo.lvl", "panorama.lvl"})
            std::filesystem::create_symlink(repo / name, name);
        SDL_InitSubSystem(SDL_INIT_AUDIO);
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16SYS, 1, 1024), 0);
        fake_input::install();
        seedStream(0, seed);
        // As the title menu registers itself when the program starts; other tests take it away.
        setTitleMenuMaker([]() -> GameSystem* { return new SystMenu(); });
        startGame();
    }
    void TearDown() override
    {
        deleteAllGameSystems();
        fake_input::uninstall();
        Mix_HaltMusic();
        freeAllSounds();
        freeAllMusic();
        freeAllSurfaces();
        releaseAllStreams();
        unloadLangPack();
        cleanupResourcePack();
        Mix_CloseAudio();
        running = 0;
        scratch.reset();
        SdlTest::TearDown();
    }

    void startGame()
    {
        ASSERT_TRUE(initGameSystems());
        running = 1;
    }

    // One key changes now and then; the rare keys only go down for a single frame.
    void driveInput()
    {
        for (u16 key : RareKeys)
            fake_input::releaseKey(key);
        std::uniform_int_distribution<int> roll(0, 999);
        int r = roll(rng);
        if (r < 120) {
            u16 key = PlayKeys[size_t(roll(rng)) % PlayKeys.size()];
            held[key] = !held[key];
            held[key] ? pressKey(key) : fake_input::releaseKey(key);
        } else if (r < 123) {
            pressKey(RareKeys[size_t(roll(rng)) % RareKeys.size()]);
        } else if (r < 130) {
            fake_input::releaseAll();
            held.clear();
        } else if (r < 170) {
            fake_input::setMousePosition(roll(rng) % 320, roll(rng) % 240);
            if (r < 140)
                roll(rng) % 2 ? fake_input::holdMouseButton(SDL_BUTTON_LEFT)
                              : fake_input::releaseMouseButton(SDL_BUTTON_LEFT);
        }
        // A few answers wait for whatever modal screen comes up; when they run dry, it is quit.
        if (r % 50 == 0)
            modal_script::pushKey(ModalKeys[size_t(roll(rng)) % ModalKeys.size()], u16('a' + roll(rng) % 26));
    }

    // The menu as the title page shows it, with no transition on its way; null otherwise.
    SystMenu* idleTitleMenu() const
    {
        SystMenu* menu = anyMenu();
        return menu && menu->currentPage() == PageTitle && !transitionRunning() ? menu : nullptr;
    }

    SystMenu* anyMenu() const
    {
        for (GameSystem* s : activeSystemList()) {
            if (auto* menu = dynamic_cast<SystMenu*>(s))
                return menu;
        }
        return nullptr;
    }

    // Now and then the title menu is asked for the editor or the console, as its codes do.
    void maybeOpenHiddenScreen()
    {
        std::uniform_int_distribution<int> roll(0, 29);
        SystMenu* menu = idleTitleMenu();
        if (!menu || roll(rng) != 0)
            return;
        startTransition(TransitionHangBlinds, menu, &SystMenu::onTransition,
                        roll(rng) % 2 ? OpenLevelEditor : OpenOnlineConsole);
        ++hiddenScreensOpened;
    }

    // Frames spent in a level of its own (not the title's backdrop), the editor and the console.
    void tallyScreens()
    {
        for (GameSystem* s : activeSystemList()) {
            levelFrames += dynamic_cast<SystPhysical*>(s) != nullptr;
            editorFrames += dynamic_cast<SystEditor*>(s) != nullptr;
            if (auto* console = dynamic_cast<SystOstrenet*>(s)) {
                ++consoleFrames;
                const std::string& log = console->logText();
                const size_t tail = UnhandledLine.size();
                typedLineAnswered |= log.size() >= tail && log.compare(log.size() - tail, tail, UnhandledLine) == 0;
            }
        }
    }

    bool transitionRunning() const
    {
        for (GameSystem* s : activeSystemList()) {
            if (dynamic_cast<Transition*>(s))
                return true;
        }
        return false;
    }

    // A new title menu has joined: once the wipe that brought it is over, nothing of the screens
    // before it may be left.
    void checkTitleReturn(int frame)
    {
        SystMenu* menu = anyMenu();
        if (menu != lastMenu) {
            lastMenu = menu;
            titleToCheck = menu != nullptr;
        }
        if (!titleToCheck || transitionRunning())
            return;
        titleToCheck = false;
        ++titleReturns;
        if (titleReturns == 1) {
            startObjects = livePhysicalCount();
            startSurfaces = createdSurfaceCount();
            return;
        }
        EXPECT_EQ(livePhysicalCount(), startObjects) << "return " << titleReturns << " at frame " << frame;
        EXPECT_EQ(createdSurfaceCount(), startSurfaces) << "return " << titleReturns << " at frame " << frame;
    }

    const u32 seed = fromEnvironment("WARDEN_SOAK_SEED", 1);
    const int frames = int(fromEnvironment("WARDEN_SOAK_FRAMES", 10000));
    std::mt19937 rng{seed};
    std::unique_ptr<ScratchDir> scratch;
    std::map<u16, bool> held;
    SystMenu* lastMenu = nullptr;
    bool titleToCheck = false;
    int titleReturns = 0;
    int hiddenScreensOpened = 0;
    int levelFrames = 0;
    int editorFrames = 0;
    int consoleFrames = 0;
    bool typedLineAnswered = false;
    u32 startObjects = 0;
    size_t startSurfaces = 0;
};

} // namespace

TEST_F(Soak, RandomPlayLeavesNothingBehind)
{
    int quits = 0;
    int frame = 0;
    for (; frame < frames && !HasFailure(); ++frame) {
        driveInput();
        maybeOpenHiddenScreen();
        FrameResult result = runOneFrame(false);
        ASSERT_NE(result, FrameResult::FlipFailed) << "frame " << frame;
        if (result == FrameResult::Quit) {
            // The player chose quit (or a modal screen was closed): the program starts again.
            ++quits;
            deleteAllGameSystems();
            lastMenu = nullptr;
            startGame();
        }
        checkTitleReturn(frame);
        tallyScreens();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("soak: %d frames (%d in a level, %d in the editor, %d in the console, a typed line answered: %s), "
                "seed %u, %d returns to the title, %d restarts, %u live objects and %zu made surfaces at the title, "
                "peak memory %ld MiB\n",
                frame, levelFrames, editorFrames, consoleFrames, typedLineAnswered ? "yes" : "no", seed, titleReturns,
                quits, startObjects, startSurfaces, usage.ru_maxrss / 1024);
    EXPECT_GT(titleReturns, 1);
    EXPECT_GT(levelFrames, 0);
    EXPECT_GT(editorFrames, 0);
    EXPECT_TRUE(typedLineAnswered);
}
