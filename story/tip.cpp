#include "story/tip.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/font.h"

namespace {

constexpr i16 OverlayDepth = -1000;  // over every screen
constexpr u16 BlinkingLife = 44;     // the last updates blink, two frames on, two off
constexpr u32 BoxColour = 0xFF000000u;
constexpr u32 FrameColour = 0xFFFFFFFFu;

} // namespace

Tip::Tip(i32 x, i32 y, u16 life, const std::u16string& text)
    : GameSystem(OverlayDepth), life(life), x(x), y(y - 3), font(std::make_unique<SPF_Small>(0)), text(text)
{
    i32 textWidth = i32(font->charWidth()) * i32(text.size());
    // Keep the caption on the screen; one wider than the screen is simply centred.
    if (textWidth <= ScreenWidth) {
        i32 half = textWidth / 2;
        if (this->x < half)
            this->x = half;
        if (this->x > ScreenWidth - half)
            this->x = ScreenWidth - half;
    } else {
        this->x = ScreenWidth / 2;
    }
    width = textWidth + 4;
    height = font->lineHeight() + 3;
}

Tip::~Tip() = default;

void Tip::update()
{
    if (slide > 0)
        --slide;
    // A tip made with no life at all goes at its first update rather than wrapping around.
    if (life > 0)
        --life;
    if (life == 0)
        queueSystemKill(this);
}

void Tip::draw(SDL_Surface* target)
{
    bool rising = slide % 2 != 0;
    bool blinkedOff = life <= BlinkingLife && (life & 2) != 0;
    if (rising || blinkedOff)
        return;
    i32 row = y + slide;
    i32 left = x - width / 2;
    fillRect(target, i16(left), i16(row - 2), u16(width), u16(height), BoxColour);
    drawRectOutline(target, left, row - 2, width, height, FrameColour);
    drawString(font.get(), target, i16(x), i16(row), text, 1);
}
