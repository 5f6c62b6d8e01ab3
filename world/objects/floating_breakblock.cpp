#include "world/objects/floating_breakblock.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/message.h"
#include "world/factory.h"
#include "world/objects/breakblock.h"

#include <algorithm>

namespace {

constexpr u16 Cell = 16;
constexpr u8 LastVariant = 3;
constexpr u16 SmallFont = 1;

Physical* makeFloatingBreakBlock(const ObjectArgs& a)
{
    return new Floating_BreakBlock(a.x, a.y, u8(a.param));
}
ObjectRegistrar floatingBreakBlockClass(11, 11, makeFloatingBreakBlock);

} // namespace

Floating_BreakBlock::Floating_BreakBlock(i32 x, i32 y, u8 variant)
    : FullBlock(FlagBlock | FlagDamagable, x, y, 0, loadGraphic("resource/breakblock.gif", true, 255, 255, 255, true),
                   makeRect(0, u16(std::min(variant, LastVariant) * Cell), Cell, Cell))
{
    health = 20;
}

void Floating_BreakBlock::draw(SDL_Surface* screen)
{
    GraphicBlock::draw(screen);
    // A sad face: it takes the hits and shows no crack.
    drawText(i16(x + drawOffsetX), i16(y + drawOffsetY), "):", SmallFont, 0, screen);
}
