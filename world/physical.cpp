#include "world/physical.h"

#include "world/interfaces.h"
#include "world/systphysical.h"

namespace {

u32 liveObjects = 0;

} // namespace

u32 livePhysicalCount()
{
    return liveObjects;
}

Physical::Physical()
{
    ++liveObjects;
}

Physical::Physical(u32 typeFlags, i32 x, i32 y, i32 w, i32 h, i32 depth)
    : typeFlags(typeFlags), x(x), y(y), w(w), h(h), depth(depth)
{
    ++liveObjects;
}

Physical::~Physical()
{
    --liveObjects;
}

void Physical::makeRef(PhysicalRef* out) const
{
    out->object = const_cast<Physical*>(this);
    out->serial = serial;
}

void Physical::removeSelf()
{
    if (owner)
        owner->remove(this);
}

void Physical::setDepth(i32 newDepth)
{
    if (owner)
        owner->setDepth(this, newDepth);
}

void Character::hurt(i16 amount, i32 kind)
{
    health = i16(health - amount);
    if (health <= 0)
        dead = 1;
}
