#include "world/objects/breakblock.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/objects/breakblock_part.h"
#include "world/systphysical.h"

#include <algorithm>

namespace {

constexpr i32 Cell = 16;
constexpr u8 LastVariant = 3;
constexpr i32 CrackStages = 3;
constexpr int PiecesPerCrack = 4;
constexpr int PiecesPerBurst = 16;
constexpr i32 CrushPerSpeed = 10;  // damage per pixel a frame of fall speed
constexpr i32 CrushKind = 8;

Physical* makeBreakBlock(const ObjectArgs& a)
{
    return new BreakBlock(a.x, a.y, u8(a.param));
}
ObjectRegistrar breakBlockClass(6, 6, makeBreakBlock);

// 20-23 whole, 8-19 cracked, 7 and below broken. Below zero the stone bursts in its next act,
// so it keeps the last stage rather than pointing past the strip.
i32 crackStage(i16 health)
{
    return std::clamp(2 - (health >> 3), 0, CrackStages - 1);
}

} // namespace

SDL_Rect makeRect(u16 x, u16 y, u16 w, u16 h)
{
    SDL_Rect r;
    r.x = i16(x);
    r.y = i16(y);
    r.w = w;
    r.h = h;
    return r;
}

BreakBlock::BreakBlock(i32 x, i32 y, u8 variant)
    : FlatSolid(x, y),
      image(loadGraphic("resource/rock.gif", true, 255, 255, 255, true)),
      source(makeRect(0, u16(std::min(variant, LastVariant) * Cell), Cell, Cell))
{
    w = h = Cell;
    typeFlags = FlagBlock | FlagDamagable;
    health = 20;
}

void BreakBlock::draw(SDL_Surface* screen)
{
    blitSurfaceOffset(i16(x), i16(y), image, screen, &source);
}

void BreakBlock::act()
{
    if (health <= 0) {
        scatterDebris(PiecesPerBurst);
        removeSelf();
        return;
    }
    if (velY > 1)
        crushBeneath();
    showCracks();
}

// Everything hurtable that the falling stone overlaps takes ten times the fall speed, and so
// does the stone.
void BreakBlock::crushBeneath()
{
    const i16 damage = i16(velY * CrushPerSpeed);
    for (Physical* p = owner->firstOfType(FlagDamagable); owner->hasMoreOfType(); p = owner->nextOfType()) {
        if (p->serial == serial)
            continue;
        if (!(p->x < x + w && p->y < y + h && x < p->x + p->w && y < p->y + p->h))
            continue;
        if (Damagable* victim = owner->currentOfTypeAs<Damagable>())
            victim->hurt(damage, CrushKind);
        hurt(damage, CrushKind);
    }
}

void BreakBlock::showCracks()
{
    const i16 stageX = i16(crackStage(health) * Cell);
    if (stageX == source.x)
        return;
    source.x = stageX;
    scatterDebris(PiecesPerCrack);
}

void BreakBlock::scatterDebris(int pieces)
{
    for (int i = 0; i < pieces; ++i)
        owner->add(new BreakBlock_Part(x + randomRange(1, w - 1), y + randomRange(1, h - 1)));
}
