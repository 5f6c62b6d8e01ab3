#pragma once
#include <gtest/gtest.h>

#include "core/font.h"

#include <SDL/SDL.h>
#include <string>

// Success when every pixel that the text puts down, drawn alone with that font at that place
// and alignment, shows on the screen with the same colour: it pins a label, its place and its
// font at once, whatever lies behind it.
::testing::AssertionResult showsText(SDL_Surface* screen, SPFont* font, i16 x, i16 y, const std::u16string& text,
                                     u8 alignment);

// Success when the cell of the sheet shows at (x, y) on the screen, mirrored or not: every pixel
// that is not see-through shows with its own colour, or with `silhouette` when one is given.
::testing::AssertionResult showsCell(SDL_Surface* screen, SDL_Surface* sheet, SDL_Rect cell, i32 x, i32 y,
                                     bool mirrored, const u32* silhouette = nullptr);
