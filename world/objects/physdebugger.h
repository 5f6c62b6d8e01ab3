#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// A debug spawner on the function keys, for trying physics by hand. Nothing in the game
// creates one; a developer adds it to a level to use it.
//   F1 held   slow motion (3 frames a second)   F3 held   everything jitters
//   F5 held   blood at the pointer              F6 held   shots rain from the pointer
//   F7        a bird at the pointer             F8        a floating turret at the pointer
//   F9 held   springfoots at the pointer        F10       every hurtable thing takes 1000
//                                                         (and the screen flashes white)
class PhysDebugger : public Physical {
public:
    PhysDebugger();
    void update() override;
    void draw(SDL_Surface* screen) override;

private:
    void jitterEverything();
    void spawn(u16 objectId);
    void hurtEverything();
};
