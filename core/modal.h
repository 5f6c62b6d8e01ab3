#pragma once
#include <SDL/SDL.h>

// Every modal wait (message screen, text prompt, the wait for quit or Return, debug displays)
// takes its events from here. The game reads SDL's queue; tests install a scripted source so
// a modal screen can never hang them.

// What one look at the event source found.
enum class ModalPoll {
    Event,    // an event was taken
    Nothing,  // no event is pending yet
    Ended     // no event can come any more: the wait must end
};
using ModalEventSource = ModalPoll (*)(SDL_Event* event);

void setModalEventSource(ModalEventSource source);  // null restores the real SDL queue
// Takes the next event if one is pending, without waiting. A terminate request ends every
// modal wait.
// What the devices change while the events are taken counts only from the next input sample on,
// and then as neither a press nor a release; the frame's own sample stands until then, so a press
// that began before the wait still counts in its frame.
ModalPoll pollModalEvent(SDL_Event* event);
// Waits for the next event; false when none can come.
bool waitModalEvent(SDL_Event* event);
