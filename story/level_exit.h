#pragma once

class GameSystem;
class SystPhysical;

// Leaving a running level (Escape, or the pause menu's quit): the level's world is queued for
// deletion and a new title menu for addition. The title menu registers its maker here; without
// one the level simply ends.
using TitleMenuMaker = GameSystem* (*)();
void setTitleMenuMaker(TitleMenuMaker maker);
// A fresh title menu from the registered maker; null while none is registered.
GameSystem* newTitleMenu();
void leaveLevel(SystPhysical* level);
