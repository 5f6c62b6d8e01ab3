#include "actors/creatures/floating_turret.h"

#include "actors/box_overlap.h"
#include "actors/creatures/double_shot.h"
#include "actors/effects/blast.h"
#include "actors/effects/explosion.h"
#include "actors/effects/smoke.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/systphysical.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr u8 TurretTeam = 3;
constexpr i16 FullHealth = 30;
constexpr u32 TurretFlags = FlagDamagable | FlagCharacter;
// Kinds that do not harm it: acid (0x80) and 0x20.
constexpr i32 HarmlessKinds = 0x20 | 0x80;
constexpr i32 SightX = 100;       // how far from home a target may stand, sideways
constexpr i32 SightY = 200;       // and up or down
constexpr i32 HoverHeight = 100;  // it hovers this far above its target
constexpr u8 BurstLength = 8;
constexpr u32 ShotPeriod = 8;     // frames between the shots of a burst
constexpr u8 Cooldown = 75;
constexpr i8 ShotSpeed = 10;
constexpr i8 MaxSteerSpeed = 4;
constexpr i8 MaxFallSpeed = 6;
constexpr u32 SteerPeriod = 4;
constexpr u32 DampPeriod = 7;
constexpr i32 SteerSlack = 2;
constexpr u8 BounceCost = 2;      // every floor contact takes this much more off the death timer

Physical* makeTurret(const ObjectArgs& a)
{
    return new Floating_Turret(a.x, a.y);
}
ObjectRegistrar turretRegistrar(7, 7, makeTurret);

i8 towardZero(i8 v)
{
    return v > 0 ? i8(v - 1) : v < 0 ? i8(v + 1) : v;
}

} // namespace

Floating_Turret::Floating_Turret(i32 x, i32 y)
    : PhysicalCharacter(TurretFlags, x - 8, y - 8, 16, 16, -5), targetX(x), targetY(y), homeX(x), homeY(y)
{
    health = FullHealth;
    team = TurretTeam;
    sheet = loadGraphic("resource/floating_turret.gif", true, 0, 255, 0, false);
    sound = loadSound("resource/double_shot.wav");
    firePhase = u8(randomSigned(255));
}

bool Floating_Turret::inActiveArea() const
{
    return x >= owner->cameraX - 50 && x <= owner->cameraX + 370 && y >= owner->cameraY - 150 &&
           y <= owner->cameraY + 290;
}

void Floating_Turret::update()
{
    if (!inActiveArea())
        return;
    if (dead)
        fallApart();
    targetX = homeX;
    targetY = homeY;
    if (!dead) {
        if (Physical* target = findTarget()) {
            targetX = centreX(*target);
            targetY = centreY(*target) - HoverHeight;
            aimAt(*target);
            fire();
        }
    }
    if (owner->frame() % SteerPeriod == 0)
        steer();
    if (owner->frame() % DampPeriod == 0)
        damp();
    y += velY;
    cells = u8((cells & 0xF0) | ((cells + 1) & 0x03));
    x += velX;
}

// Falls, bounces, smokes more and more, and blows up when the death timer is spent.
void Floating_Turret::fallApart()
{
    i32 floor = y + 32;
    for (Block* block = owner->firstIn<Block>(); owner->hasMoreInCategory(); block = owner->nextIn<Block>())
        block->hitFloor(this, &floor, false);
    if (floor <= y + h + velY) {
        velY = -1;
        y = floor - h;
        velX = 0;
        deathTimer = deathTimer > BounceCost ? u8(deathTimer - BounceCost) : 0;
    }
    if (deathTimer == 0)
        blowUp();
    else
        --deathTimer;
    trailSmoke();
    velY = std::min<i8>(i8(velY + 1), MaxFallSpeed);
}

void Floating_Turret::blowUp()
{
    for (int i = 0; i < 3; ++i) {
        i32 bx = x + randomSigned(16);
        i32 by = y + randomSigned(16);
        owner->add(new Blast(bx, by, i == 2, 0));
    }
    owner->add(new Explosion(x + 8, y + 8, 0));
    removeSelf();
}

// The trail thickens as the death timer runs down.
void Floating_Turret::trailSmoke()
{
    if (randomSigned((deathTimer + 2) >> 4) != 0)
        return;
    bool blast = randomSigned(5) < 2;
    i32 px = x + randomSigned(16);
    i32 py = y + randomSigned(16);
    if (blast)
        owner->add(new Blast(px, py, false, 0));
    else
        owner->add(new Smoke(px, py, 0));
}

// The first living character of another team near home and less than SightX away sideways.
Physical* Floating_Turret::findTarget() const
{
    for (Character* c = owner->firstIn<Character>(); owner->hasMoreInCategory(); c = owner->nextIn<Character>()) {
        if (c->team == team || c->isDead())
            continue;
        Physical* body = owner->currentInCategory();
        i32 cx = centreX(*body);
        i32 cy = centreY(*body);
        if (std::abs(cx - homeX) <= SightX && std::abs(cy - homeY) <= SightY &&
            std::abs(centreX(*this) - cx) < SightX)
            return body;
    }
    return nullptr;
}

// Along the axis of the greater distance; an exact diagonal counts as vertical.
void Floating_Turret::aimAt(const Physical& target)
{
    i32 dx = centreX(target) - centreX(*this);
    i32 dy = centreY(target) - centreY(*this);
    u8 direction;
    if (std::abs(dy) < std::abs(dx))
        direction = dx < 0 ? AimLeft : AimRight;
    else
        direction = dy < 0 ? AimUp : AimDown;
    cells = u8((cells & 0x0F) | (direction << 4));
}

void Floating_Turret::fire()
{
    if (burst == 0) {
        if (cooldown != 0)
            --cooldown;
        if (cooldown == 0)
            burst = BurstLength;
        return;
    }
    if ((owner->frame() + firePhase) % ShotPeriod != 0)
        return;
    shoot();
    --burst;
    if (burst == 0)
        cooldown = Cooldown;
}

void Floating_Turret::shoot()
{
    playSound(sound, 0);
    DoubleShot* shot;
    switch (aim()) {
    case AimDown:
        shot = new DoubleShot(x + 8, y + h, 0, ShotSpeed, this);
        break;
    case AimLeft:
        shot = new DoubleShot(x, y + 8, -ShotSpeed, 0, this);
        break;
    case AimUp:
        shot = new DoubleShot(x + 8, y, 0, -ShotSpeed, this);
        break;
    default:
        shot = new DoubleShot(x + w, y + 8, ShotSpeed, 0, this);
        break;
    }
    owner->add(shot);
}

// A wobbly pull toward the target point: the centre is taken with some random slack.
void Floating_Turret::steer()
{
    i32 px = centreX(*this) + randomRange(-16, 16);
    i32 py = centreY(*this) + randomRange(-16, 16);
    if (px < targetX - SteerSlack)
        ++velX;
    if (px > targetX + SteerSlack)
        --velX;
    if (py < targetY - SteerSlack)
        ++velY;
    if (py > targetY + SteerSlack)
        --velY;
    velX = std::clamp<i8>(velX, -MaxSteerSpeed, MaxSteerSpeed);
    velY = std::clamp<i8>(velY, -MaxSteerSpeed, MaxSteerSpeed);
}

void Floating_Turret::damp()
{
    velX = towardZero(velX);
    velY = towardZero(velY);
}

void Floating_Turret::hurt(i16 amount, i32 kind)
{
    if (dead || (kind & ~HarmlessKinds & 0xFFFF) == 0)
        return;
    flash = 1;
    health = i16(health - amount);
    if (health > 0)
        return;
    dead = 1;
    // A turret can be shot down before it is in a level (the editor's previews are not).
    addPhysical(owner, new Explosion(x, y, 0));
}

void Floating_Turret::draw(SDL_Surface* screen)
{
    const bool solid = flash != 0;
    SDL_Rect body{i16((cells & 0x0F) * 16), 0, 16, 16};
    blitSurfaceExOffset(x, y, sheet, screen, false, false, &body, solid, 0xFFFFFFFF);
    SDL_Rect barrel{i16(aim() * 16 + 64), 0, 16, 16};
    blitSurfaceExOffset(x, y, sheet, screen, false, false, &barrel, solid, 0xFFFFFFFF);
    flash = 0;
}
