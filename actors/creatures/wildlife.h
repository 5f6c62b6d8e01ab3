#pragma once
#include "actors/actor.h"

// Base of the level's animals and creatures that keep to the plain actor physics.
class Wildlife : public Actor {
public:
    using Actor::Actor;
};
