#pragma once
#include "core/gamesystem.h"
#include "core/types.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <memory>
#include <string>

class SPF_CoGra;
class TextBlock;

// A text box laid over the running level: it slides in, types its pages with a ticking sound,
// waits for the advance control after each page and slides away after the last. While any box
// is on screen the speech-box flag (world/speechflag.h) stands the level still.
// Nobody owns it: create it, queue it with queueSystemAdd and forget it.
class SpeechBox : public GameSystem {
public:
    // Style 1 is the lower box with the portrait; any other value is the upper box.
    SpeechBox(const std::u16string& text, u16 style, u8 fontStyle);
    ~SpeechBox() override;

    void update() override;
    void draw(SDL_Surface* target) override;

    i32 boxX;
    i32 boxY;          // where the box image rests once it has slid in
    u16 page = 0;
    u16 pageCount;
    u16 shownChars = 0;
    u16 pageLength;
    u8 typeDelay;       // frames until the next character
    u8 sliding = 1;     // the box is moving in or out
    u8 closing = 0;     // the movement is the slide-out
    i16 slideOffset;    // of the box image from boxY
    i16 slideStart;     // where the box comes from and goes back to

    // Queues the box's deletion; it does nothing more meanwhile.
    void withdraw();

private:
    void slideIn();
    void slideOut();
    void waitForAdvance();
    void type();
    void showNextChar();

    std::unique_ptr<SPF_CoGra> font;
    std::unique_ptr<TextBlock> text;
    Mix_Chunk* letterSound;
    Mix_Chunk* endSound;
    Mix_Chunk* puncSound;
    SDL_Surface* boxImage;
    u8 withdrawn = 0;  // its level ended: it waits silently to be deleted
};

// Withdraws every speech box, also those still queued to join, and clears the speech-box flag:
// for a level that ends while its box is on its way in.
void closeSpeechBoxes();
