#pragma once
#include <SDL/SDL.h>
#include <deque>

// Opens SDL's dummy video at 320x240 (scale 1) with a back buffer, closes it afterwards.
// Tests that draw or load images derive their fixture from this.
class SdlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Scripted events for modal waits (message screen, prompt, debug displays).
// When the script runs dry a quit event ends whatever is waiting.
namespace modal_script {
void install();
void uninstall();
void pushKey(SDLKey key, Uint16 unicode = 0);
void pushQuit();
int eventsServed();
}
