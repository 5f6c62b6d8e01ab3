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
// When the script runs dry a quit event ends whatever is waiting. Serving a key event sets
// SDL's key-state array as a keyboard does, so what the modal screen leaves held is seen by the
// input layer afterwards.
namespace modal_script {
void install();  // an empty script, every key up
void uninstall();
void pushKey(SDLKey key, Uint16 unicode = 0);  // the key goes down
void pushKeyUp(SDLKey key);
void pushMouseMotion();
void pushPointerMove(Uint16 x, Uint16 y);  // a motion event, and the fake input's pointer moves there
void pushMouseButtonUp(Uint8 button);  // the fake input's button goes up too
void pushIdle(int polls);  // polls that find no event
void pushQuit();
void pushSignal(int signal);  // a poll that raises the signal and finds no event
int eventsServed();
}
