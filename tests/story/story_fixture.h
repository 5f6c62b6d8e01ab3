#pragma once
#include "tests/story/level_fixture.h"

#include "core/draw.h"
#include "core/media.h"
#include "world/speechflag.h"

#include <SDL/SDL_mixer.h>
#include <vector>

// Counts its own updates: it shows whether the level ran in a frame.
class Ticker : public Physical {
public:
    void update() override { ++ticks; }
    int ticks = 0;
};

// A bare player body: anything with the player flag sets off triggers.
class PlayerBody : public Physical {
public:
    PlayerBody(i32 x, i32 y) : Physical(FlagPlayer, x, y, 8, 16, 0) {}
};

// A level run by the system manager with scripted input; whatever screens the test leaves
// behind (boxes, credits, menus, the level) are deleted with it.
class StoryTest : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        setSpeechBoxOpen(false);
    }
    void TearDown() override
    {
        if (managed)
            world.release();
        deleteAllGameSystems();
        madeMenus.clear();
        managed = false;
        setSpeechBoxOpen(false);
        LevelTest::TearDown();
    }

    void press(u8 control)
    {
        fake_input::holdControl(0, control);
        frame();
        fake_input::releaseControl(0, control);
    }
    void drawFrame()
    {
        SDL_FillRect(backBuffer, nullptr, Backdrop);
        drawGameSystems(backBuffer);
    }
    u32 pixel(int x, int y) { return getPixel(backBuffer, u32(x), u32(y)) & 0xFFFFFFu; }

    static constexpr u32 Backdrop = 0x00123456u;
};
