#include "story/pause_menu.h"

#include "core/controlpad.h"
#include "core/draw.h"
#include "core/font.h"
#include "core/lang.h"
#include "core/media.h"
#include "story/level_exit.h"
#include "world/systphysical.h"

#include <set>

namespace {

constexpr i32 MenuDepth = -5000;  // drawn over everything else, the display included
constexpr i8 OrangeStyle = 1;
constexpr i8 IceStyle = 0;
constexpr u8 Shade = 34;          // the picture is tinted half-way toward this grey
constexpr i16 CentreX = 160;
constexpr i16 HeadingY = 50;
constexpr i16 FirstChoiceY = 100;
constexpr i16 ChoiceSpacing = 16;
constexpr u8 Centred = 1;

std::multiset<const SystPhysical*> levelsWithMenu;

const char16_t* const ChoiceItems[] = {u"return", u"quit"};

} // namespace

bool Pause_Menu::isOpenIn(const SystPhysical* level)
{
    return levelsWithMenu.count(level) != 0;
}

Pause_Menu::Pause_Menu() : Physical(0, 0, 0, 0, 0, MenuDepth)
{
    normalFont = new SPF_CoGra(OrangeStyle);
    highlightFont = new SPF_CoGra(IceStyle);
    moveSound = loadSound("resource/menu_move.wav");
    pickSound = loadSound("resource/menu_pick.wav");
    playSound(pickSound, 0);
}

Pause_Menu::~Pause_Menu()
{
    delete normalFont;
    delete highlightFont;
    if (pausedLevel)
        levelsWithMenu.erase(levelsWithMenu.find(pausedLevel));
}

void Pause_Menu::onAdd()
{
    pausedLevel = owner;
    levelsWithMenu.insert(owner);
    for (Physical* p = owner->firstOfType(FlagAll); owner->hasMoreOfType(); p = owner->nextOfType()) {
        if (p == this)
            continue;
        ++p->frozenCount;
        PhysicalRef ref;
        p->makeRef(&ref);
        frozen.push_back(ref);
    }
}

void Pause_Menu::resume()
{
    if (resumed)
        return;
    resumed = 1;
    // Only what this menu froze is thawed, so every count returns to where it stood before.
    for (const PhysicalRef& ref : frozen) {
        if (owner->isAlive(ref) && ref.object->frozenCount != 0)
            --ref.object->frozenCount;
    }
    frozen.clear();
    removeSelf();
}

void Pause_Menu::pick()
{
    playSound(pickSound, 0);
    resume();
}

void Pause_Menu::update()
{
    const u8 before = selected;
    if (controlHeld(ControlDown, primaryPad) && selected < ChoiceQuit)
        ++selected;
    if (controlHeld(ControlUp, primaryPad) && selected > ChoiceReturn)
        --selected;
    if (selected != before)
        playSound(moveSound, 0);

    if (controlPressed(ControlA, primaryPad)) {
        if (selected == ChoiceReturn) {
            pick();
        } else {
            leaveLevel(owner);
            playSound(pickSound, 0);
        }
    }
    if (controlPressed(ControlB, primaryPad) || controlPressed(ControlY, primaryPad))
        pick();
}

void Pause_Menu::draw(SDL_Surface* screen)
{
    SDL_Rect whole = screen->clip_rect;
    tintRect(screen, &whole, Shade, Shade, Shade, 0);
    drawString(highlightFont, screen, CentreX, HeadingY, langText(u"pause", u"paused"), Centred);
    for (u8 i = 0; i < 2; ++i) {
        SPF_CoGra* font = i == selected ? highlightFont : normalFont;
        drawString(font, screen, CentreX, i16(FirstChoiceY + ChoiceSpacing * i), langText(u"pause", ChoiceItems[i]),
                   Centred);
    }
}
