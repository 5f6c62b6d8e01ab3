#pragma once
#include "world/objects/pillar.h"
#include "world/objects/sunk_pillar.h"

// A platform pillar that waits sunk into the floor and rises when the boss fight ends, as a way
// out.
class Pillar_BossStairs : public Sunk_Pillar<Pillar> {
public:
    Pillar_BossStairs(i32 x, i32 y);

    void cueEscape() override;
};
