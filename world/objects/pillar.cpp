#include "world/objects/pillar.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/systphysical.h"
#include "world/terrain/blockrules.h"

#include <algorithm>

namespace {

constexpr i32 Cell = 16;
constexpr i32 ProbeHeight = 4;  // the box at the top that looks for a floor
constexpr i32 MaxReach = 256;   // the tallest pillar, when no floor is found

Physical* makePillar(const ObjectArgs& a)
{
    return new Pillar(a.x, a.y);
}
ObjectRegistrar pillarClass(16, 16, makePillar);

} // namespace

Pillar::Pillar(i32 x, i32 y) : Pillar(FlagBlock, x, y) {}

Pillar::Pillar(u32 flags, i32 x, i32 y)
    : PhysicalBlock(flags, x - 8, y - 8, Cell, 24, 0),
      image(loadGraphic("resource/pillar.gif", true, 255, 255, 255, true))
{
}

void Pillar::onAdd()
{
    measureFloor();
    onGrounded();
}

// Only blocks already in the system's snapshot count: the pillar is not in it yet, and terrain
// queued in the same frame is not either.
void Pillar::measureFloor()
{
    h = ProbeHeight;
    i32 limit = y + MaxReach;
    for (owner->firstOfType(FlagBlock); owner->hasMoreOfType(); owner->nextOfType()) {
        Block* block = owner->currentOfTypeAs<Block>();
        if (block)
            block->hitFloor(this, &limit, false);
    }
    // A slope catches the probe up to 6 pixels below its surface, which can put the floor above
    // the pillar's top; a negative height would wrap into a target that it never stops growing to.
    h = std::max(limit - y, 0);
    targetHeight = u16(h);
}

void Pillar::update()
{
    if (h == targetHeight) {
        shake = 0;
        return;
    }
    const i32 step = h < targetHeight ? 1 : -1;
    y -= step;
    h += step;
    shake = shake == 0 ? i8(randomRange(0, 1) * 2 - 1) : 0;
}

void Pillar::draw(SDL_Surface* screen)
{
    for (i32 offset = 0; offset < h; offset += Cell) {
        const i16 cellY = offset == 0 ? 0 : Cell;
        blitSurfaceRectOffset(i16(x + shake), i16(y + offset), image, screen, 0, cellY, Cell,
                              u16(std::min(Cell, h - offset)));
    }
}

bool Pillar::hitFloor(Physical* mover, i32* limit, bool)
{
    return blockrules::flatFloor(*this, *mover, limit);
}

u16 Pillar::sink()
{
    const u16 height = u16(h);
    y += h;
    h = 1;
    targetHeight = 1;
    return height;
}
