#pragma once
#include "core/gamesystem.h"
#include "core/types.h"

#include <memory>
#include <string>

class SPF_Small;

// A one-line caption in a framed black box: it rises into place, stands, blinks and removes
// itself. Nobody owns it: create it, queue it with queueSystemAdd and forget it.
class Tip : public GameSystem {
public:
    // x is the centre of the caption and y its row; life counts the updates before it goes.
    Tip(i32 x, i32 y, u16 life, const std::u16string& text);
    ~Tip() override;

    void update() override;
    void draw(SDL_Surface* target) override;

private:
    u16 life;
    u8 slide = 8;  // pixels still to rise
    i32 x;
    i32 y;
    i32 width;
    i32 height;
    std::unique_ptr<SPF_Small> font;
    std::u16string text;
};
