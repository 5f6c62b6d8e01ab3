#pragma once

class GameSystem;
class SystPhysical;

// Leaving a running level (Escape, the pause menu's quit, the demo's ending, a level file that
// cannot be loaded): the level's world is queued for deletion and the next screen for addition.
// The title menu registers its maker here; without one, leaving for the title simply ends the
// level.
using TitleMenuMaker = GameSystem* (*)();
void setTitleMenuMaker(TitleMenuMaker maker);
// A fresh title menu from the registered maker; null while none is registered.
GameSystem* newTitleMenu();

// Makes the screen that follows a level; null for none.
using NextScreenMaker = GameSystem* (*)();
// Only the first hand-over of a level counts: when two fall in one frame (the ending's credits
// and Escape) the later one makes nothing, so two screens never follow one level. The level's
// speech box goes with it, even one still waiting to join.
void handOverLevel(SystPhysical* level, NextScreenMaker makeNext);
// Hands the level over to a new title menu.
void leaveLevel(SystPhysical* level);
