#pragma once
#include "actors/actor.h"
#include "core/types.h"
#include "world/interfaces.h"

#include <SDL/SDL.h>

// A falling stone: a solid 16x16 block that is also an actor, so it falls, crushes what it
// lands on, cracks as it is hurt and shatters into debris. It can be hurt but is not a
// character.
class BreakBlock : public Actor, public Block {
public:
    BreakBlock(i32 x, i32 y, u8 variant);

    void draw(SDL_Surface* screen) override;
    void act() override;

    bool hitFloor(Physical* mover, i32* limit, bool onGround) override;
    bool hitCeiling(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallLeft(Physical* mover, i32* limit, bool onGround) override;
    bool hitWallRight(Physical* mover, i32* limit, bool onGround) override;
    i32 left() override { return x; }
    i32 top() override { return y; }
    i32 width() override { return w; }
    i32 height() override { return h; }
    i32 right() override { return x + w; }
    i32 bottom() override { return y + h; }
    bool isSolid() override { return true; }

    SDL_Surface* image;
    SDL_Rect source;  // x: crack stage, y: variant

private:
    void crushBeneath();
    void showCracks();
    void scatterDebris(int pieces);
};

// A rectangle from unsigned parts.
SDL_Rect makeRect(u16 x, u16 y, u16 w, u16 h);
