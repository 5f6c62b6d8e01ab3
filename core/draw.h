#pragma once
#include "core/types.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <string>

// Screen offset added by the world-space wrappers; a level sets it to minus its camera.
extern i32 drawOffsetX;
extern i32 drawOffsetY;

void blitSurface(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, SDL_Rect* srcRect);
void scaleSurface(u32 sx, u32 sy, SDL_Surface* src, SDL_Surface* dst);
void drawLine(i32 x1, i32 y1, i32 x2, i32 y2, u32 colour, SDL_Surface* dst);
void playSound(Mix_Chunk* chunk, i16 loops);
void playMusic(Mix_Music* music, i16 loops);
void fadeOutMusic();
