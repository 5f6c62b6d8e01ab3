#include "world/physical.h"

#include "world/interfaces.h"
#include "world/systphysical.h"

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
