#pragma once
#include "core/types.h"

#include <SDL/SDL.h>
#include <string>

// Takes over the window with a text ("\n" separates lines) until Return or closing the window;
// the arrows scroll it by 12 pixels, Space returns it to the corner. Without a window the
// text goes to the log instead.
void showMessageScreen(const std::string& text);
// The text that tells of a failed load: what failed, then the name as asked, quoted on a line
// of its own.
std::string quotedFailure(const char* what, const std::string& name);
// A one-line text entry on the window; Return or closing the window ends it with the text typed.
std::string promptText(const std::string& prompt);
// Draws a text in a font made for this one call: fontKind 1 the small font, any other the large.
void drawText(i16 x, i16 y, const std::string& text, u16 fontKind, u8 style, SDL_Surface* dst);

// What the message screen was last asked to show, and how many messages it was asked to show:
// tests check the program's messages through these.
const std::string& lastMessageShown();
u32 messagesShownCount();
