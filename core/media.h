#pragma once
#include "core/types.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <string>

SDL_Surface* loadGraphic(const std::string& name, bool colourKey, u8 r, u8 g, u8 b, bool rle);
Mix_Chunk* loadSound(const std::string& name);
Mix_Music* loadMusic(const std::string& name);
SDL_Surface* createSurface(i32 w, i32 h);
void freeSurface(SDL_Surface* surface);
void freeAllSurfaces();
void freeAllSounds();
void freeAllMusic();
