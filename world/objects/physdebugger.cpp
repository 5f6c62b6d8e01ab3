#include "world/objects/physdebugger.h"

#include "actors/blood.h"
#include "actors/dahlia_bullet.h"
#include "core/engine.h"
#include "core/input.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/interfaces.h"
#include "world/systphysical.h"

namespace {

constexpr int NormalSpeed = 30;
constexpr int SlowSpeed = 3;
constexpr u16 FloatingTurretId = 7;
constexpr u16 SpringfootId = 8;
constexpr u16 BirdId = 28;
constexpr i16 OverkillDamage = 1000;
constexpr i32 CreatureDamageKind = 1;
constexpr u32 White = 0xFFFFFFFF;

} // namespace

PhysDebugger::PhysDebugger() : Physical(FlagLevelDriver, 0, 0, 0, 0, 50) {}

void PhysDebugger::update()
{
    SystPhysical* system = owner;
    const i32 mx = system->mouseWorldX();
    const i32 my = system->mouseWorldY();

    setFramesPerSecond(keyHeld(SDLK_F1) ? SlowSpeed : NormalSpeed);
    if (keyHeld(SDLK_F3))
        jitterEverything();
    if (keyPressed(SDLK_F7))
        spawn(BirdId);
    if (keyHeld(SDLK_F5)) {
        const i8 velX = i8(randomRange(-4, 4));
        const i8 velY = i8(randomRange(-5, 3));
        system->add(new Blood(mx, my, velX, velY));
    }
    if (keyHeld(SDLK_F6) && system->frame() % 2 == 0)
        system->add(new Dahlia_Bullet(mx, my, 0, 10, this));
    if (keyHeld(SDLK_F9))
        spawn(SpringfootId);
    if (keyPressed(SDLK_F8))
        spawn(FloatingTurretId);
    if (keyPressed(SDLK_F10))
        hurtEverything();
}

void PhysDebugger::draw(SDL_Surface* screen)
{
    if (keyPressed(SDLK_F10))
        SDL_FillRect(screen, &screen->clip_rect, White);
}

void PhysDebugger::jitterEverything()
{
    for (Physical* p = owner->firstOfType(FlagAll); owner->hasMoreOfType(); p = owner->nextOfType()) {
        p->x += randomRange(-1, 1);
        p->y += randomRange(-1, 1);
    }
}

// Through the factory, so the debugger makes whatever class the level file would.
void PhysDebugger::spawn(u16 objectId)
{
    if (Physical* object = createObject(objectId, owner->mouseWorldX(), owner->mouseWorldY()))
        owner->add(object);
}

void PhysDebugger::hurtEverything()
{
    for (Damagable* d = owner->firstIn<Damagable>(); owner->hasMoreInCategory(); d = owner->nextIn<Damagable>())
        d->hurt(OverkillDamage, CreatureDamageKind);
}
