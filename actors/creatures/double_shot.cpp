#include "actors/creatures/double_shot.h"

#include "core/draw.h"
#include "core/media.h"

namespace {

// Muzzle flashes on row 0 of the sheet, by the way the shot flies.
constexpr i16 FlashRight = 128;
constexpr i16 FlashDown = 144;
constexpr i16 FlashUp = 160;
constexpr i16 FlashLeft = 176;
// Row 16: the bolt, then the splash from x 32 on.
constexpr i16 FlightRow = 16;
constexpr i16 HorizontalBolt = 0;
constexpr i16 VerticalBolt = 16;
constexpr i16 BeforeSplash = 16;  // the next flight shows the first splash cell, 32
constexpr i16 LastSplashCell = 96;
constexpr u8 Lifetime = 60;
constexpr i16 Damage = 10;
constexpr i32 DamageKind = 1;  // creature shots

i16 flashCell(i8 velX, i8 velY)
{
    if (velY == 0)
        return velX < 1 ? FlashLeft : FlashRight;
    return velY > 0 ? FlashDown : FlashUp;
}

} // namespace

DoubleShot::DoubleShot(i32 x, i32 y, i8 velX, i8 velY, Physical* shooter)
    : Bullet(x, y, velX, velY, shooter), frame{flashCell(velX, velY), 0, 16, 16}
{
    sheet = loadGraphic("resource/floating_turret.gif", true, 0, 255, 0, false);
}

void DoubleShot::fly()
{
    frame.y = FlightRow;
    if (spent) {
        frame.x = i16(frame.x + 16);
        if (frame.x > LastSplashCell)
            removeSelf();
    } else {
        frame.x = velY != 0 ? VerticalBolt : HorizontalBolt;
    }
    if (age > Lifetime)
        removeSelf();
}

// The splash plays in front of the scenery.
void DoubleShot::hitWall(bool noTargetHit)
{
    frame.x = BeforeSplash;
    setDepth(-5);
}

void DoubleShot::hitTarget(Damagable* target)
{
    target->hurt(Damage, DamageKind);
}

void DoubleShot::draw(SDL_Surface* screen)
{
    if (frame.y != 0) {
        blitSurfaceOffset(x - 6, y - 6, sheet, screen, &frame);
        return;
    }
    // Before its first flight the shot shows the muzzle flash beside itself.
    switch (frame.x) {
    case FlashRight:
        blitSurfaceOffset(x + 2, y - 6, sheet, screen, &frame);
        break;
    case FlashDown:
        blitSurfaceOffset(x - 6, y + 2, sheet, screen, &frame);
        break;
    case FlashUp:
        blitSurfaceOffset(x - 6, y - 14, sheet, screen, &frame);
        break;
    default:
        blitSurfaceOffset(x - 14, y - 6, sheet, screen, &frame);
        break;
    }
}
