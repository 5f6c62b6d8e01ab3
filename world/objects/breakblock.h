#pragma once
#include "actors/actor.h"
#include "core/types.h"
#include "world/interfaces.h"
#include "world/terrain/flat_solid.h"

#include <SDL/SDL.h>

// A falling stone: a solid 16x16 block that is also an actor, so it falls, crushes what it
// lands on, cracks as it is hurt and shatters into debris. It can be hurt but is not a
// character.
class BreakBlock : public FlatSolid<BoxBlock<Actor>> {
public:
    BreakBlock(i32 x, i32 y, u8 variant);

    void draw(SDL_Surface* screen) override;
    void act() override;

    SDL_Surface* image;
    SDL_Rect source;  // x: crack stage, y: variant

private:
    void crushBeneath();
    void showCracks();
    void scatterDebris(int pieces);
};

// A rectangle from unsigned parts.
SDL_Rect makeRect(u16 x, u16 y, u16 w, u16 h);
