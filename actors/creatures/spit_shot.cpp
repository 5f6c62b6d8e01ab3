#include "actors/creatures/spit_shot.h"

#include "core/draw.h"
#include "core/media.h"
#include "world/systphysical.h"

namespace {
constexpr i16 BlobA = 48;
constexpr i16 BlobB = 32;
constexpr i16 LastCell = 63;  // past the last cell of its row the shot is gone
constexpr i16 SplashRow = 32;
constexpr i16 BeforeSplash = -16;  // the next flight shows splash cell 0
constexpr u8 Lifetime = 100;
constexpr i16 Damage = 5;
constexpr i32 DamageKind = 1;  // creature shots
} // namespace

SpitShot::SpitShot(i32 x, i32 y, i8 velX, i8 velY, Physical* shooter)
    : Bullet(x, y, velX, velY, shooter), frame{32, 16, 16, 16}
{
    depth = -5;
    sheet = loadGraphic("resource/wallspitter.gif", true, 0, 255, 0, false);
}

void SpitShot::fly()
{
    if (spent)
        frame.x = i16(frame.x + 16);
    else
        frame.x = (owner->frame() & 2) ? BlobB : BlobA;
    if (frame.x > LastCell || age > Lifetime)
        removeSelf();
}

void SpitShot::hitWall(bool noTargetHit)
{
    frame.y = SplashRow;
    frame.x = BeforeSplash;
}

void SpitShot::hitTarget(Damagable* target)
{
    target->hurt(Damage, DamageKind);
}

void SpitShot::draw(SDL_Surface* screen)
{
    blitSurfaceOffset(x - 6, y - 6, sheet, screen, &frame);
}
