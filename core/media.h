#pragma once
#include "core/types.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <string>

// The one place images, sound effects and music are loaded. Each resource name is loaded once
// and kept for the run; every request for the same name returns the same pointer, which the
// cache owns: holders never free it.

// An image in the screen's format; null when it cannot be loaded (the failure is remembered,
// so its message shows once). The first request's colour key and RLE choice stick.
SDL_Surface* loadGraphic(const std::string& name, bool colourKey, u8 r, u8 g, u8 b, bool rle);
// Null when loading fails; failures are not remembered, so a later request tries again.
Mix_Chunk* loadSound(const std::string& name);
Mix_Music* loadMusic(const std::string& name);

// A blank surface in the window's pixel format, filed under "created<n>".
SDL_Surface* createSurface(i32 w, i32 h);

// Surfaces made by createSurface and not freed yet; loaded images are not among them.
size_t createdSurfaceCount();

void freeSurface(SDL_Surface* surface);
void freeSound(Mix_Chunk* chunk);
void freeMusic(Mix_Music* music);
void freeAllSurfaces();
void freeAllSounds();
void freeAllMusic();

// True when anything stands under the name: a file of any kind or mode, or a link, dangling or not.
bool fileExists(const std::string& name);
// Creates an empty file when nothing stands under the name (not even a dangling link); a file
// that is there is left untouched, readable or not. False when it can be neither found nor
// created; `created` tells whether this call made it.
bool ensureFileExists(const std::string& name, bool* created = nullptr);
