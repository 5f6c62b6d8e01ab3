#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <vector>

class SPF_CoGra;

// The in-level pause overlay: freezes every other object of its level, darkens the picture and
// offers "return" or "quit". A level holds at most one.
class Pause_Menu : public Physical {
public:
    enum Choice : u8 {
        ChoiceReturn = 0,  // back to the game
        ChoiceQuit = 1,    // leave the level
    };

    Pause_Menu();
    ~Pause_Menu() override;

    void onAdd() override;
    void update() override;
    void draw(SDL_Surface* screen) override;
    // Unfreezes the level and removes the menu; a second call does nothing.
    void resume();

    // True while a pause menu has been added to this level and not yet deleted.
    static bool isOpenIn(const SystPhysical* level);

    u8 selected = ChoiceReturn;
    SPF_CoGra* normalFont;
    SPF_CoGra* highlightFont;
    Mix_Chunk* moveSound;
    Mix_Chunk* pickSound;

private:
    void pick();
    SystPhysical* pausedLevel = nullptr;  // the level this menu froze
    std::vector<PhysicalRef> frozen;      // every object this menu froze
    u8 resumed = 0;
};
