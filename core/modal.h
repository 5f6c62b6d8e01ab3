#pragma once
#include <SDL/SDL.h>

// Every modal wait (message screen, text prompt, the wait for quit or Return, debug displays)
// takes its events from here. The game blocks on SDL's queue; tests install a scripted source
// so a modal screen can never hang them.
using ModalEventSource = bool (*)(SDL_Event* event);

void setModalEventSource(ModalEventSource source);  // null restores the real SDL queue
bool waitModalEvent(SDL_Event* event);              // false when no event can come
bool modalIsScripted();                             // true while a test source is installed
