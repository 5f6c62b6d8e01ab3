#pragma once
#include "core/gamesystem.h"
#include "core/types.h"

#include <SDL/SDL_mixer.h>
#include <memory>
#include <string>

class SPFont;

// The end of the demo: the credits text rises over a black screen to the ending music, the
// music fades, and a new title menu takes over. It reads no input.
class Credits : public GameSystem {
public:
    Credits();
    ~Credits() override;

    void update() override;
    void draw(SDL_Surface* target) override;

    std::unique_ptr<SPFont> font;
    std::u16string text;
    i32 position = 480;  // half-pixels: the first line is drawn at position / 2
    u16 delay = 30;      // frames before the text starts to rise
    u8 fading = 0;       // the music fade has been started

private:
    void handOver();
};
