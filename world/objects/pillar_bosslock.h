#pragma once
#include "world/objects/pillar_solid.h"
#include "world/objects/sunk_pillar.h"

// A wall pillar that waits sunk into the floor and rises when the boss fight starts, closing
// the arena.
class Pillar_BossLock : public Sunk_Pillar<Pillar_Solid> {
public:
    Pillar_BossLock(i32 x, i32 y);

    void cueLock() override;
};
