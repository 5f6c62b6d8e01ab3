#pragma once
#include <gtest/gtest.h>

#include "core/draw.h"
#include "core/engine.h"
#include "core/gamesystem.h"
#include "core/input.h"
#include "core/media.h"
#include "core/message.h"
#include "core/random.h"
#include "core/respack.h"
#include "editor/bitgrid.h"
#include "editor/systeditor.h"
#include "story/level_exit.h"
#include "tests/support/fake_input.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sdl_env.h"
#include "world/level.h"

#include <SDL/SDL_mixer.h>
#include <filesystem>
#include <memory>
#include <string>

// An editor that tells the test when the system manager deletes it.
class WatchedEditor : public SystEditor {
public:
    explicit WatchedEditor(bool* alive) : alive(alive) { *alive = true; }
    ~WatchedEditor() override { *alive = false; }

private:
    bool* alive;
};

// A scratch working directory that still reaches the game's resources, so levels started or
// loaded there find their images, sounds and music.
class EditorScratch {
public:
    EditorScratch() : resources(std::filesystem::absolute("resource"))
    {
        dir = std::make_unique<ScratchDir>();
        std::filesystem::create_directory_symlink(resources, "resource");
    }

private:
    std::filesystem::path resources;
    std::unique_ptr<ScratchDir> dir;
};

// The editor run by the system manager, with scripted keyboard, mouse and modal screens.
class EditorTest : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        initResourcePack();
        SDL_InitSubSystem(SDL_INIT_AUDIO);
        audioOpen = Mix_OpenAudio(22050, AUDIO_S16SYS, 1, 1024) == 0;
        seedStream(0, 42);
        fake_input::install();
        initInput();
        menusMade = 0;
        setTitleMenuMaker(makeMenu);
        helpShownAtStart = messagesShownCount();
        editor = new WatchedEditor(&editorAlive);
        helpShownAtStart = messagesShownCount() - helpShownAtStart;
        queueSystemAdd(editor);
        updateGameSystems();
    }
    void TearDown() override
    {
        setTitleMenuMaker(nullptr);
        scratch.reset();
        deleteAllGameSystems();  // shuts input down too
        fake_input::uninstall();
        Mix_HaltMusic();
        freeAllSounds();
        freeAllMusic();
        freeAllSurfaces();
        if (audioOpen)
            Mix_CloseAudio();
        releaseAllStreams();
        SdlTest::TearDown();
    }

    // Frames of input and update only; draw() adds a picture when a test looks at one.
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            updateInput();
            updateGameSystems();
        }
    }
    void draw()
    {
        SDL_FillRect(backBuffer, nullptr, Backdrop);
        drawGameSystems(backBuffer);
    }
    void tap(u16 key)
    {
        fake_input::holdKey(key);
        tick();
        fake_input::releaseKey(key);
        tick();
    }
    // A key pressed with a modifier held through both frames.
    void tapWith(u16 modifier, u16 key)
    {
        fake_input::holdKey(modifier);
        tap(key);
        fake_input::releaseKey(modifier);
    }
    // Two keys that go down in one frame and are let go inside the first modal wait they open,
    // as a hand taps them. The wait's answers follow; then tick().
    void pressTogetherUntilTheWait(u16 first, u16 second)
    {
        for (u16 key : {first, second}) {
            fake_input::holdKey(key);
            modal_script::pushKeyUp(SDLKey(key));
        }
    }
    void pointAt(i32 x, i32 y) { fake_input::setMousePosition(x, y); }
    void click(u8 button, i32 x, i32 y)
    {
        pointAt(x, y);
        fake_input::holdMouseButton(button);
        tick();
        fake_input::releaseMouseButton(button);
        tick();
    }
    void clickWith(u16 modifier, u8 button, i32 x, i32 y)
    {
        fake_input::holdKey(modifier);
        click(button, x, y);
        fake_input::releaseKey(modifier);
    }
    // Answers the next prompt, typed key by key; the prompt closes while Return is still down.
    // Every modal screen after the script runs dry is closed.
    void answer(const std::string& text)
    {
        type(text);
        modal_script::pushKey(SDLK_RETURN);
    }
    void type(const std::string& text)
    {
        for (char c : text) {
            SDLKey key = c >= 'a' && c <= 'z' ? SDLKey(c) : SDLK_UNKNOWN;
            modal_script::pushKey(key, Uint16(u8(c)));
            modal_script::pushKeyUp(key);
        }
    }
    void enterScratch() { scratch = std::make_unique<EditorScratch>(); }
    // Every screen toggles with the room editor: Space the tile picker, Alt the catalogue,
    // Shift the view editor.
    void toggle(EditorMode other)
    {
        if (other == ModeCatalogue)
            tapWith(SDLK_LALT, SDLK_SPACE);
        else if (other == ModeViewPath)
            tapWith(SDLK_LSHIFT, SDLK_SPACE);
        else
            tap(SDLK_SPACE);
    }
    void toMode(EditorMode wanted)
    {
        if (editor->mode() != ModeRoom)
            toggle(editor->mode());
        if (wanted != ModeRoom)
            toggle(wanted);
        ASSERT_EQ(editor->mode(), wanted);
    }
    u32 pixel(int x, int y) { return getPixel(backBuffer, u32(x), u32(y)) & 0xFFFFFFu; }
    // The back buffer shows every opaque pixel of the tile's picture with its top-left at (sx, sy).
    bool tileShownAt(u8 tile, int sx, int sy)
    {
        SDL_Surface* tileset = loadGraphic("resource/cytok-tiles.gif", true, 0, 255, 0, true);
        return imageShownAt(tileset, 16 * (tile & 15), 16 * (tile >> 4), sx, sy);
    }
    bool imageShownAt(SDL_Surface* image, int ix, int iy, int sx, int sy, bool upsideDown = false)
    {
        SDL_Surface* cell = SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 16, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        SDL_FillRect(cell, nullptr, Backdrop);
        SDL_Rect source = {i16(ix), i16(iy), 16, 16};
        SDL_BlitSurface(image, &source, cell, nullptr);
        int opaque = 0, matched = 0;
        for (int dy = 0; dy < 16; ++dy) {
            for (int dx = 0; dx < 16; ++dx) {
                u32 want = getPixel(cell, u32(dx), u32(dy)) & 0xFFFFFFu;
                if (want == Backdrop)
                    continue;
                ++opaque;
                matched += pixel(sx + dx, sy + (upsideDown ? 15 - dy : dy)) == want;
            }
        }
        SDL_FreeSurface(cell);
        return opaque > 0 && matched == opaque;
    }

    class MenuStandIn : public GameSystem {
    public:
        MenuStandIn() : GameSystem(0) {}
    };
    static GameSystem* makeMenu()
    {
        ++menusMade;
        return new MenuStandIn();
    }

    static constexpr u32 Backdrop = 0x00123456u;
    static inline int menusMade = 0;
    SystEditor* editor = nullptr;
    bool editorAlive = false;
    u32 helpShownAtStart = 0;
    bool audioOpen = false;
    std::unique_ptr<EditorScratch> scratch;
};
