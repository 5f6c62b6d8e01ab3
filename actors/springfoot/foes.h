#pragma once
#include "core/types.h"
#include "world/interfaces.h"

#include <vector>

// What a hopper of the Springfoot kind sees of the characters around it: the centre of the
// nearest live foe (a character of another team) and every live foe its body touches.
struct FoeSight {
    bool found = false;  // a foe lies within sight
    i32 x = 0;           // centre of the nearest foe
    i32 y = 0;
    std::vector<Character*> touching;
};

// Looks from (fromX, fromY) at every character of self's level that is not of `team` and not
// dead. Nearest means the smallest squared distance of the centres, below a sight limit; the
// first one found wins a tie. Touching means a strict overlap with self's box.
FoeSight lookForFoes(const Physical& self, u8 team, i32 fromX, i32 fromY);
