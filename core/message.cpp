#include "core/message.h"

#include "core/engine.h"
#include "core/font.h"
#include "core/log.h"
#include "core/modal.h"
#include "core/text.h"

#include <algorithm>
#include <optional>

namespace {

constexpr i16 ScrollStep = 12;
constexpr Uint32 MessagePollMs = 30;

std::string lastMessage;
u32 messageCount = 0;
// Set while a modal screen loads its own font: the media cache reports a failed load through
// the message screen, which must not try to load that same font again.
bool loadingModalFont = false;

std::string singleLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

SPF_CoGra makeModalFont()
{
    loadingModalFont = true;
    SPF_CoGra font(0);
    loadingModalFont = false;
    return font;
}

void drawModalText(SPFont& font, const std::string& text, i16 x, i16 y)
{
    SDL_FillRect(screenSurface, &screenSurface->clip_rect, 0);
    drawLines(&font, screenSurface, x, y, toWideString(text), 0);
    SDL_Flip(screenSurface);
}

struct Scroll {
    i16 x = 0, y = 0;
};

// Applies one key to the scroll; false when the key dismisses the screen.
bool scrollByKey(SDLKey key, Scroll& scroll, bool& redraw)
{
    switch (key) {
    case SDLK_UP: scroll.y = i16(scroll.y + ScrollStep); break;
    case SDLK_DOWN: scroll.y = i16(scroll.y - ScrollStep); break;
    case SDLK_LEFT: scroll.x = i16(scroll.x + ScrollStep); break;
    case SDLK_RIGHT: scroll.x = i16(scroll.x - ScrollStep); break;
    case SDLK_SPACE: scroll = Scroll{}; break;
    case SDLK_RETURN: return false;
    default: return true;
    }
    redraw = true;
    return true;
}

// False when the event dismisses the screen.
bool handleMessageEvent(const SDL_Event& event, Scroll& scroll, bool& redraw)
{
    if (event.type == SDL_QUIT)
        return false;
    return event.type != SDL_KEYDOWN || scrollByKey(event.key.keysym.sym, scroll, redraw);
}

void editInput(std::string& input, u8 character)
{
    switch (character) {
    case 8:
        if (!input.empty())
            input.pop_back();
        break;
    case 0:
    case 10:
    case 11:
    case 12:
    case 13: break;
    default: input.push_back(char(character));
    }
}

// Waits for the next key-down or quit; false when the prompt ends.
bool nextPromptKey(std::string& input)
{
    SDL_Event event;
    while (waitModalEvent(&event)) {
        if (event.type == SDL_QUIT)
            return false;
        if (event.type != SDL_KEYDOWN)
            continue;
        if (event.key.keysym.sym == SDLK_RETURN)
            return false;
        editInput(input, u8(event.key.keysym.unicode & 0xFF));
        return true;
    }
    return false;
}

} // namespace

void showMessageScreen(const std::string& text)
{
    ++messageCount;
    lastMessage = text;
    if (!screenSurface || loadingModalFont) {
        logLine(singleLine(text));
        return;
    }
    SPF_CoGra font = makeModalFont();
    // A report about the font itself may have come in while it loaded; this text is the one shown.
    lastMessage = text;
    if (!font.sheet())
        logLine(singleLine(text));

    Scroll scroll;
    bool redraw = true;
    std::optional<SDL_Event> last;
    for (;;) {
        if (redraw)
            drawModalText(font, text, scroll.x, scroll.y);
        redraw = false;
        SDL_Event event;
        ModalPoll poll = pollModalEvent(&event);
        if (poll == ModalPoll::Ended)
            return;
        if (poll == ModalPoll::Event)
            last = event;
        // A poll that finds nothing handles the last event again: a held arrow goes on
        // scrolling until its release, or any other event, comes.
        if (last && !handleMessageEvent(*last, scroll, redraw))
            return;
        SDL_Delay(MessagePollMs);
    }
}

std::string quotedFailure(const char* what, const std::string& name)
{
    return std::string(what) + "\n'" + name + "'";
}

std::string promptText(const std::string& prompt)
{
    if (!screenSurface) {
        logLine(singleLine(prompt));
        return std::string();
    }
    SPF_CoGra font = makeModalFont();
    bool unicodeWasOn = SDL_EnableUNICODE(-1) == 1;
    if (!unicodeWasOn)
        SDL_EnableUNICODE(1);
    std::string input;
    do
        drawModalText(font, prompt + "\n>>" + input + "_", 0, 0);
    while (nextPromptKey(input));
    if (!unicodeWasOn)
        SDL_EnableUNICODE(0);
    return input;
}

void drawText(i16 x, i16 y, const std::string& text, u16 fontKind, u8 style, SDL_Surface* dst)
{
    std::u16string wide = toWideString(text);
    if (fontKind == 1) {
        SPF_Small font(style);
        drawLines(&font, dst, x, y, wide, 0);
    } else {
        SPF_CoGra font{i8(style)};
        drawLines(&font, dst, x, y, wide, 0);
    }
}

const std::string& lastMessageShown()
{
    return lastMessage;
}

u32 messagesShownCount()
{
    return messageCount;
}
