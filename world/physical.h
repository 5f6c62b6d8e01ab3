#pragma once
#include "core/types.h"

struct SDL_Surface;
class SystPhysical;
class Physical;

// Category bits of Physical::typeFlags; an object may set several.
enum PhysicalFlag : u32 {
    FlagBlock = 0x1,           // terrain that stops movers: a Block
    FlagDamagable = 0x2,       // can be hurt: a Damagable
    FlagCharacter = 0x4,       // a Character (has a team and a dead flag)
    FlagShot = 0x18,           // both bits are set by every shot
    FlagEffect = 0x20,         // effects, debris and trigger objects
    FlagPlayer = 0x40,         // a Player body; actors with it update even off screen
    FlagScenery = 0x80,        // picture only
    FlagBoss = 0x100,          // a Boss
    FlagCameraFocus = 0x200,   // the camera creeps toward this object
    FlagCued = 0x400,          // a Cued object of the boss fight
    FlagWater = 0x800,         // a water volume
    FlagLevelDriver = 0x8000,  // drives the level (LevelRunner)
    FlagAll = 0xFFFF           // type-walk mask for every object, even one without flags
};

// Objects alive in the whole program, in any level or none: what a screen that has gone must
// have left behind is none.
u32 livePhysicalCount();

// A weak reference: valid while SystPhysical::isAlive finds the pair.
struct PhysicalRef {
    Physical* object = nullptr;
    u32 serial = 0;
};

// Every object of a level: a rectangle in world pixels that its SystPhysical updates and draws
// in depth order. The system owns it from add() on and deletes it after a removal request.
class Physical {
public:
    Physical();
    Physical(u32 typeFlags, i32 x, i32 y, i32 w, i32 h, i32 depth);
    Physical(const Physical&) = delete;
    Physical& operator=(const Physical&) = delete;
    virtual ~Physical();

    // Called once by add(), after owner and serial are set, before the object joins the set.
    virtual void onAdd() {}
    // World coordinates; the drawing offset wrappers turn them into screen coordinates.
    virtual void draw(SDL_Surface* screen) {}
    virtual void update() {}

    void makeRef(PhysicalRef* out) const;
    // Both are queued on the owner and take effect after the current update pass.
    // On an object that was never added they do nothing.
    void removeSelf();
    void setDepth(i32 newDepth);

    u32 typeFlags = 0;
    i32 x = 0;
    i32 y = 0;
    i32 w = 0;
    i32 h = 0;
    i32 depth = 0;  // greater depths update and draw first; change it only through setDepth
    SystPhysical* owner = nullptr;
    u32 serial = 0;
    u16 hiddenCount = 0;  // not drawn while non-zero
    u16 frozenCount = 0;  // not updated while non-zero
};
