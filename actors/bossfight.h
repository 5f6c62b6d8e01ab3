#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// The invisible director at the centre of a boss arena. Once the level streams it in it draws
// the camera to the arena, walks the players in and holds every other creature still; when the
// camera has arrived it wakes the bosses, locks the arena and shows the boss bar; while the
// bosses fight it shakes the screen by their shake amounts; when every boss is finished it opens
// the way out, slides the bar away and removes itself.
class BossFight : public Physical {
public:
    BossFight(i32 x, i32 y);

    void onAdd() override;
    void draw(SDL_Surface* screen) override;
    void update() override;

    float barFraction = 0;  // the bosses' average health fraction this frame
    u8 added = 0;           // in a level (the editor draws it without adding it)
    u16 shakeTotal = 0;     // the sum of the bosses' shake amounts this frame
    u8 started = 0;         // the camera has arrived and the fight runs
    u8 ended = 0;           // every boss is finished
    u8 endTimer = 60;       // frames left after the end
    SDL_Surface* barSheet;  // row 0 the full bar, row 24 the empty bar
    i32 barY = -24;         // screen y of the bar, which slides in and out

private:
    void approach();
    bool cameraArrived() const;
    void start();
    void fight();
    void finish();
    void drawBar(SDL_Surface* screen);
    void drawArenaOutline(SDL_Surface* screen);
};
