#include "story/level_exit.h"

#include "core/gamesystem.h"
#include "story/speechbox.h"
#include "world/systphysical.h"

namespace {

TitleMenuMaker titleMenuMaker = nullptr;

// A level whose file cannot be loaded is left the same way.
const bool leaverRegistered = (setLevelLeaver(leaveLevel), true);

} // namespace

void setTitleMenuMaker(TitleMenuMaker maker)
{
    titleMenuMaker = maker;
}

GameSystem* newTitleMenu()
{
    return titleMenuMaker ? titleMenuMaker() : nullptr;
}

void handOverLevel(SystPhysical* level, NextScreenMaker makeNext)
{
    if (systemKillQueued(level))
        return;
    queueSystemKill(level);
    // Only the level's markers open speech boxes; one left behind would sit over the next
    // screen and hold every later level still.
    closeSpeechBoxes();
    if (GameSystem* next = makeNext())
        queueSystemAdd(next);
}

void leaveLevel(SystPhysical* level)
{
    handOverLevel(level, newTitleMenu);
}
