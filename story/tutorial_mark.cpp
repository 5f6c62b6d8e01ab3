#include "story/tutorial_mark.h"

#include "actors/dahlia.h"
#include "story/speechbox.h"
#include "world/factory.h"
#include "world/speechflag.h"
#include "world/systphysical.h"

namespace {

constexpr i32 MarkHeight = 150;
constexpr i32 RiseWhenCrossed = 500;  // out of the way, so it does not fire again where it stood
constexpr u16 InfoBoxStyle = 0;
constexpr u8 OrangeLetters = 1;

const std::u16string MarkTexts[] = {
    u"Welcome to Ostrevan: Demo One!\nUse (Z) to advance textboxes.\nYou can press (Z) while text is "
    u"appearing to skip the animation.\nUse the arrow keys (]}) to run.\nPress (Z) to jump.\n(V) pauses the "
    u"game.",
    u"The X button fires your gun.  Hold the button down to keep shooting.\nNow, be ready to fight!",
    u"Shoot at these stacked rocks with (X).\nThey crumble and break.",
    u"The arrow keys aim your gun 4-directionally.\n\nAt times you'll need to run while shooting up or down.",
    u"Acid-spitting foes coming up.  Aim for the head!",
    u"If you've run from a few fights so far, know this: sometimes a confrontation is unavoidable...",
};
const std::u16string MarkError = u"CRITICAL MAJOR TUTORIAL MESSAGE ERROR!";

// Stones, the splecker and the boss warning have texts, but the level explains itself there.
bool showsNoMessage(u8 number)
{
    return number == 3 || number == 5 || number == 6;
}

Physical* makeTutorialMark(const ObjectArgs& a)
{
    return new Tutorial_Mark(a.x, a.y, u8(a.param));
}

const ObjectRegistrar tutorialMarks(33001, 33006, makeTutorialMark);

bool overlaps(const Physical* a, const Physical* b)
{
    return a->x < b->x + b->w && a->y < b->y + b->h && a->x + a->w > b->x && a->y + a->h > b->y;
}

} // namespace

const std::u16string& tutorialText(u8 number)
{
    if (number >= 1 && number <= 6)
        return MarkTexts[number - 1];
    return MarkError;
}

Tutorial_Mark::Tutorial_Mark(i32 x, i32 y, u8 number)
    : Physical(0, x - 1, y - MarkHeight, 2, MarkHeight, 0), number(number)
{
}

void Tutorial_Mark::update()
{
    for (Physical* p = owner->firstOfType(FlagPlayer); owner->hasMoreOfType(); p = owner->nextOfType()) {
        if (!overlaps(p, this))
            continue;
        // Other player bodies (the boss player) have no respawn point to set.
        if (Dahlia* heroine = dynamic_cast<Dahlia*>(p))
            heroine->setRespawnPoint();
        y -= RiseWhenCrossed;
        showTutorialMessage();
        return;
    }
}

void Tutorial_Mark::showTutorialMessage()
{
    if (speechBoxOpen() || showsNoMessage(number))
        return;
    queueSystemAdd(new SpeechBox(tutorialText(number), InfoBoxStyle, OrangeLetters));
    removeSelf();
}
