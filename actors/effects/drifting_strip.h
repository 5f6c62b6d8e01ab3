#pragma once
#include "world/physical.h"

#include <SDL/SDL.h>

// A 16x16 one-shot strip that drifts at a fixed speed, already while it waits to appear.
class Drifting_Strip : public Physical {
public:
    void update() override;

    SDL_Surface* sheet;
    u8 cell;
    u8 delay;
    i8 velX;
    i8 velY;

protected:
    // (left, top) is the box's corner.
    Drifting_Strip(i32 left, i32 top, i8 velX, i8 velY, u8 delay, SDL_Surface* sheet, u8 cellCount);

    // The current cell of the sheet.
    SDL_Rect cellSource() const;

private:
    u8 cellCount;
};
