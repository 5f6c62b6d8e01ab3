#pragma once
#include "core/types.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <string>

// Everything draws through these functions onto 32-bit surfaces whose pixels are 0x00RRGGBB words.
// Every primitive returns at once for a null surface (a failed image load is cached as null) and
// keeps its writes inside the destination's clip rectangle.

// Screen offset added by the world-space wrappers; a level sets it to minus its camera.
extern i32 drawOffsetX;
extern i32 drawOffsetY;

// Blits and surface operations.
void blitSurface(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, SDL_Rect* srcRect);
void blitSurfaceRect(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, i16 sx, i16 sy, u16 sw, u16 sh);
// Covers dst with copies of the image along the repeated axes; a non-repeated axis holds one copy.
void tileSurface(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, SDL_Rect* srcRect, bool repeatX,
                 bool repeatY);
// Per-pixel blit: mirrors on either axis and, with solid, draws a one-colour silhouette.
void blitSurfaceEx(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, bool flipX, bool flipY,
                   SDL_Rect* srcRect, bool solid, u32 colour);
// The window stretch: every source pixel becomes an sx by sy block of dst.
void scaleSurface(u32 sx, u32 sy, SDL_Surface* src, SDL_Surface* dst);
void setColorKey(SDL_Surface* s, bool on, u8 r, u8 g, u8 b);
// Cuts r and moves (x, y) so that r placed at (x, y) lies inside clip.
void clipToRect(i16* x, i16* y, SDL_Rect* r, const SDL_Rect* clip);

// Shapes and pixels.
void fillRect(SDL_Surface* dst, i16 x, i16 y, u16 w, u16 h, u32 colour);
// The outline covers (w + 1) by (h + 1) pixels.
void drawRectOutline(SDL_Surface* dst, i32 x, i32 y, i32 w, i32 h, u32 colour);
void drawLine(i32 x1, i32 y1, i32 x2, i32 y2, u32 colour, SDL_Surface* dst);
// The caller locks the surface; points outside the clip rectangle are ignored.
void putPixel(SDL_Surface* dst, u32 x, u32 y, u32 colour);
// 0 for a point outside the surface.
u32 getPixel(SDL_Surface* src, u32 x, u32 y);
bool pointInClip(SDL_Surface* surface, i32 x, i32 y);
void setRect(SDL_Rect* r, i16 x, i16 y, u16 w, u16 h);
// The word whose bytes in memory order are r, g, b, a.
u32 packRGBA(u8 r, u8 g, u8 b, u8 a);
u32 swapBytes32(u32 v);

// World-space wrappers: the same calls with drawOffsetX/drawOffsetY added to every position.
void blitSurfaceOffset(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, SDL_Rect* srcRect);
void blitSurfaceRectOffset(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, i16 sx, i16 sy, u16 sw,
                           u16 sh);
void fillRectOffset(SDL_Surface* dst, i16 x, i16 y, u16 w, u16 h, u32 colour);
void drawRectOutlineOffset(SDL_Surface* dst, i32 x, i32 y, i32 w, i32 h, u32 colour);
void blitSurfaceExOffset(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, bool flipX, bool flipY,
                         SDL_Rect* srcRect, bool solid, u32 colour);
void drawLineOffset(i32 x1, i32 y1, i32 x2, i32 y2, u32 colour, SDL_Surface* dst);

// Sound and waiting.
void playSound(Mix_Chunk* chunk, i16 loops);
void playMusic(Mix_Music* music, i16 loops);  // restarts the music even when it is already playing
void fadeOutMusic();
// Blocks until the window is closed or Return is pressed; that event is used up.
void waitForQuitOrReturn();
void debugPause(const std::string& text);

// Pixel filters over whole 32-bit surfaces.
// Mode 0 or 1 averages every pixel of rect with (r, g, b); rect is clipped in place.
void tintRect(SDL_Surface* surface, SDL_Rect* rect, u8 r, u8 g, u8 b, u8 mode);
void flipSurface(SDL_Surface* surface);  // turns the picture by 180 degrees
void thresholdSurface(SDL_Surface* surface, u32 colour);
void embossSurface(SDL_Surface* surface, u32 darker, u32 equal, u32 brighter);
void fillParityPattern(SDL_Surface* surface);
