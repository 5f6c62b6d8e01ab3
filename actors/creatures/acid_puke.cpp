#include "actors/creatures/acid_puke.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/systphysical.h"

#include <algorithm>

namespace {
constexpr i16 LastCell = 95;  // past the last fizzle cell the drop is gone
constexpr u8 Lifetime = 100;
constexpr i8 MaxFallSpeed = 8;
constexpr i16 Damage = 3;
constexpr i32 DamageKind = 128;  // acid
} // namespace

AcidPuke::AcidPuke(i32 x, i32 y, i8 velX, i8 velY, Physical* shooter)
    : Bullet(x, y, velX, velY, shooter), frame{32, 16, 16, 16}
{
    this->x = x - 4;
    this->y = y - 4;
    w = 8;
    h = 8;
    depth = -5;
    sheet = loadGraphic("resource/splecker.gif", true, 0, 255, 0, false);
}

// A drop in flight may fizzle out at random; a spent one always does.
void AcidPuke::fly()
{
    if (owner->frame() % 2 == 1)
        velY = std::min<i8>(i8(velY + 1), MaxFallSpeed);
    if (spent || randomSigned(5) == 0) {
        frame.x = i16(frame.x + 16);
        if (frame.x > LastCell)
            removeSelf();
    }
    if (age > Lifetime)
        removeSelf();
}

void AcidPuke::hitTarget(Damagable* target)
{
    target->hurt(Damage, DamageKind);
}

void AcidPuke::draw(SDL_Surface* screen)
{
    blitSurfaceOffset(x - 4, y - 4, sheet, screen, &frame);
}
