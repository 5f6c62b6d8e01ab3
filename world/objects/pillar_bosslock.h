#pragma once
#include "world/objects/pillar_solid.h"

// A wall pillar that waits sunk into the floor and rises when the boss fight starts, closing
// the arena.
class Pillar_BossLock : public Pillar_Solid, public Cued {
public:
    Pillar_BossLock(i32 x, i32 y);

    void onGrounded() override;
    void cueLock() override;

    u16 savedHeight = 0;  // the measured height it rises back to
};
