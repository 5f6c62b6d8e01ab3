#pragma once
#include "world/level.h"

// Paints every cell of every layer of a level with a scattered mix of tiles 0-6, whose kinds are
// solid, platform, both slopes, empty and one no map knows, so a picture of the level has every
// colour, and the blocks it is built in are cut at odd places.
void paintMixedKinds(Level& level);
