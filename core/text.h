#pragma once
#include "core/types.h"

#include <SDL/SDL.h>
#include <string>

class SPFont;

// Draws a text line by line, splitting at "\n"; each line aligned like drawString.
void drawLines(SPFont* font, SDL_Surface* dst, i16 x, i16 y, const std::u16string& text, u8 alignment);

// Bytes become units of the same value; the result ends at the first zero byte.
std::u16string toWideString(const std::string& s);
// Units keep their low 8 bits; the result ends at the first unit whose low byte is zero.
std::string toNarrowString(const std::u16string& w);

std::string shortToString(i16 v);
std::string ushortToString(u16 v);
