#pragma once
#include <gtest/gtest.h>

#include "core/draw.h"
#include "core/engine.h"
#include "core/gamesystem.h"
#include "core/media.h"
#include "core/random.h"
#include "core/respack.h"
#include "tests/support/sdl_env.h"

// Screens run through the system manager over SDL's dummy video, one frame at a time, with the
// back buffer cleared to a colour that no overlay draws.
class OverlayTest : public SdlTest {
protected:
    static constexpr u32 Backdrop = 0x00123456u;

    void SetUp() override
    {
        SdlTest::SetUp();
        initResourcePack();
        seedStream(0, 1234);
    }
    void TearDown() override
    {
        deleteAllGameSystems();
        freeAllSurfaces();
        releaseAllStreams();
        cleanupResourcePack();
        SdlTest::TearDown();
    }

    void frame(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            updateGameSystems();
            SDL_FillRect(backBuffer, nullptr, Backdrop);
            drawGameSystems(backBuffer);
            ++frames;
        }
    }

    u32 pixel(int x, int y) { return getPixel(backBuffer, u32(x), u32(y)) & 0xFFFFFFu; }

    int frames = 0;
};
