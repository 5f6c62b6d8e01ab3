#pragma once
#include "core/types.h"
#include "world/physical.h"

class CaptureTrigger;

// A window in the shape of a mask image through which the objects drawn between depths -9 and
// -11 are not seen: its CaptureTrigger copies the picture under it into the cutaway's surface
// (with the mask laid over) before those objects draw, and the cutaway draws it back after them.
// The mask's black area shows the captured picture, its green area is transparent and any other
// colour covers.
class Cutaway : public Physical {
public:
    // Variant 1 uses the secret-passage mask, any other value the normal one.
    explicit Cutaway(u8 variant);
    ~Cutaway() override;

    // Creates its trigger on the first update in a level.
    void update() override;
    void draw(SDL_Surface* screen) override;

    // Puts the centre of the mask on the point.
    void setPosition(i32 px, i32 py);
    // Queues its removal; a cutaway outside any level says so on the message screen.
    void kill();
    // Copies the picture under the cutaway from the back buffer and lays the mask over it.
    void capture(SDL_Surface* backBuffer);

    SDL_Surface* mask;
    SDL_Surface* captured = nullptr;  // owned; null when the mask failed to load
    i16 anchorX = 0;
    i16 anchorY = 0;
    CaptureTrigger* trigger = nullptr;
};

// The cutaway's helper at depth -9: its draw takes the capture during the level's draw pass.
class CaptureTrigger : public Physical {
public:
    explicit CaptureTrigger(Cutaway* cutaway);
    ~CaptureTrigger() override;

    // Removes itself once its cutaway is gone.
    void update() override;
    void draw(SDL_Surface* screen) override;

    Cutaway* cutaway;
};
