#include "story/level_exit.h"

#include "core/gamesystem.h"
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

void leaveLevel(SystPhysical* level)
{
    queueSystemKill(level);
    if (GameSystem* menu = newTitleMenu())
        queueSystemAdd(menu);
}
