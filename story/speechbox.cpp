#include "story/speechbox.h"

#include "core/controlpad.h"
#include "core/draw.h"
#include "core/font.h"
#include "core/media.h"
#include "core/textblock.h"
#include "world/speechflag.h"

#include <algorithm>
#include <set>

namespace {

constexpr i16 SpeechBoxDepth = -5;  // over the level, under screen transitions
constexpr u8 FirstCharDelay = 10;   // frames from the end of the slide-in to the first character
constexpr u8 NextPageDelay = 2;
constexpr u8 PunctuationDelay = 3;
constexpr u8 CentredText = 1;

struct BoxStyle {
    const char* image;
    i32 x;
    i32 y;
    i16 slideStart;
    SDL_Rect textArea;
};

// Upper box: drops in from above. Lower box: rises from below.
constexpr BoxStyle UpperBox = {"resource/info-textbox.gif", 64, 8, -85, {68, 17, 188, 56}};
constexpr BoxStyle LowerBox = {"resource/cytok-textbox.gif", 2, 163, 75, {73, 172, 238, 56}};

bool isPunctuation(u16 c)
{
    return c == u'!' || c == u',' || c == u'.' || c == u':' || c == u';' || c == u'?';
}

bool advancePressed()
{
    return controlPressed(ControlA, primaryPad);
}

// Every box from construction to deletion, joined or still queued.
std::set<SpeechBox*> liveBoxes;

} // namespace

void closeSpeechBoxes()
{
    for (SpeechBox* box : liveBoxes)
        box->withdraw();
    setSpeechBoxOpen(false);
}

SpeechBox::SpeechBox(const std::u16string& textValue, u16 style, u8 fontStyle)
    : GameSystem(SpeechBoxDepth), font(std::make_unique<SPF_CoGra>(i8(fontStyle)))
{
    const BoxStyle& look = style == 1 ? LowerBox : UpperBox;
    boxImage = loadGraphic(look.image, false, 0, 0, 0, false);
    boxX = look.x;
    boxY = look.y;
    slideStart = look.slideStart;
    slideOffset = slideStart;
    typeDelay = FirstCharDelay;
    text = std::make_unique<TextBlock>(look.textArea, font.get(), textValue);
    pageCount = text->pageCount();
    pageLength = text->pageLength(0);
    puncSound = loadSound("resource/type_punc.wav");
    letterSound = loadSound("resource/type_letter.wav");
    endSound = loadSound("resource/type_end.wav");
    liveBoxes.insert(this);
}

SpeechBox::~SpeechBox()
{
    liveBoxes.erase(this);
}

void SpeechBox::withdraw()
{
    withdrawn = 1;
    queueSystemKill(this);
}

void SpeechBox::update()
{
    if (withdrawn)
        return;
    setSpeechBoxOpen(true);
    if (sliding && !closing)
        slideIn();
    else if (sliding)
        slideOut();
    else if (shownChars >= pageLength)
        waitForAdvance();
    else
        type();
}

// Eases in: a quarter of the distance left, and at least a pixel, each frame.
void SpeechBox::slideIn()
{
    if (slideOffset == 0) {
        sliding = 0;
        return;
    }
    i16 q = i16(slideOffset / 4);
    slideOffset = slideOffset > 0 ? i16(slideOffset - q - 1) : i16(slideOffset - q + 1);
}

// Speeds up on the way out: a quarter of the distance covered, plus a pixel, each frame.
void SpeechBox::slideOut()
{
    if (slideOffset == slideStart) {
        queueSystemKill(this);
        setSpeechBoxOpen(false);
        return;
    }
    i16 q = i16(slideOffset / 4);
    if (slideStart > slideOffset)
        slideOffset = std::min<i16>(i16(slideOffset + q + 1), slideStart);
    else
        slideOffset = std::max<i16>(i16(slideOffset + q - 1), slideStart);
}

void SpeechBox::waitForAdvance()
{
    if (!advancePressed())
        return;
    shownChars = 0;
    typeDelay = NextPageDelay;
    ++page;
    if (page >= pageCount) {
        sliding = 1;
        closing = 1;
        pageLength = 0;
    } else {
        pageLength = text->pageLength(page);
    }
}

void SpeechBox::type()
{
    if (typeDelay > 0)
        --typeDelay;
    if (typeDelay == 0)
        showNextChar();
    // The advance control shows the rest of the page at once.
    if (shownChars < pageLength && advancePressed()) {
        shownChars = pageLength;
        playSound(endSound, 0);
    }
}

void SpeechBox::showNextChar()
{
    u16 shown = shownChars++;
    if (shownChars == pageLength) {
        playSound(endSound, 0);
        return;
    }
    u16 c = text->charAt(page, shown);
    if (isPunctuation(c)) {
        typeDelay = PunctuationDelay;
        playSound(puncSound, 0);
    } else if (c == u' ') {
        typeDelay = 1;
    } else {
        playSound(letterSound, 0);
        typeDelay = 1;
    }
}

void SpeechBox::draw(SDL_Surface* target)
{
    blitSurface(i16(boxX), i16(boxY + slideOffset), boxImage, target, nullptr);
    // The text stays put while the box slides; nothing is shown until the slide-in is over.
    text->drawPage(target, CentredText, page, shownChars);
}
