#include "story/level_exit.h"

#include "core/gamesystem.h"
#include "story/speechbox.h"
#include "world/systphysical.h"

namespace {

TitleMenuMaker titleMenuMaker = nullptr;

} // namespace

void setTitleMenuMaker(TitleMenuMaker maker)
{
    titleMenuMaker = maker;
}

GameSystem* newTitleMenu()
{
    return titleMenuMaker ? titleMenuMaker() : nullptr;
}

bool handOverLevel(SystPhysical* level, NextScreenMaker makeNext)
{
    if (systemKillQueued(level))
        return false;
    queueSystemKill(level);
    // Only the level's markers open speech boxes; one left behind would sit over the next
    // screen and hold every later level still.
    closeSpeechBoxes();
    if (GameSystem* next = makeNext())
        queueSystemAdd(next);
    return true;
}

void leaveLevel(SystPhysical* level)
{
    handOverLevel(level, newTitleMenu);
}
