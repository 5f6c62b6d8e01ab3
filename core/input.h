#pragma once
#include "core/types.h"

#include <SDL/SDL.h>

void initInput();
void shutdownInput();
void updateInput();
void handleInputEvent(const SDL_Event& event);
bool keyHeld(u16 key);
bool keyPressed(u16 key);
i32 mouseX();
i32 mouseY();
bool zoneBindingsInUse();
