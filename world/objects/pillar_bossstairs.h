#pragma once
#include "world/objects/pillar.h"

// A platform pillar that waits sunk into the floor and rises when the boss fight ends, as a way
// out.
class Pillar_BossStairs : public Pillar, public Cued {
public:
    Pillar_BossStairs(i32 x, i32 y);

    void onGrounded() override;
    void cueEscape() override;

    u16 savedHeight = 0;  // the measured height it rises back to
};
