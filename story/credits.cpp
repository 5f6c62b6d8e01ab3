#include "story/credits.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/font.h"
#include "core/lang.h"
#include "core/media.h"
#include "core/text.h"
#include "story/level_exit.h"

namespace {

constexpr i32 FadePosition = -1120;  // the music fades once the position passes this
constexpr u32 Black = 0xFF000000u;
constexpr u8 Centred = 1;

} // namespace

Credits::Credits()
    : GameSystem(0), font(std::make_unique<SPF_CoGra>(1)), text(langText(u"ending", u"credits"))
{
    playMusic(loadMusic("resource/ending.it"), -1);
}

Credits::~Credits() = default;

void Credits::update()
{
    if (delay != 0) {
        --delay;
        return;
    }
    --position;
    if (position >= FadePosition)
        return;
    if (!fading) {
        fadeOutMusic();
        fading = 1;
        return;
    }
    if (Mix_PlayingMusic())
        return;
    handOver();
}

void Credits::handOver()
{
    queueSystemKill(this);
    if (GameSystem* menu = newTitleMenu())
        queueSystemAdd(menu);
}

void Credits::draw(SDL_Surface* target)
{
    fillRect(target, 0, 0, ScreenWidth, ScreenHeight, Black);
    drawLines(font.get(), target, ScreenWidth / 2, i16(position / 2), text, Centred);
}
