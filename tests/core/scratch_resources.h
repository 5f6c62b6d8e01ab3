#pragma once
#include <gtest/gtest.h>

#include "core/respack.h"
#include "tests/support/captured_output.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sdl_env.h"

// SDL up over a scratch working folder with the resource pack opened on it; afterwards the
// surface cache is emptied (its report kept out of the test output) and the pack closed.
class ScratchResources : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        initResourcePack();
    }
    void TearDown() override
    {
        freeAllSurfacesCaptured();
        cleanupResourcePack();
        SdlTest::TearDown();
    }

    ScratchDir scratch;
};
