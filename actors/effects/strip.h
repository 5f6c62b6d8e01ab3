#pragma once
#include "core/types.h"

// Timing shared by the one-shot sprite strips: each cell stays up for two world frames
// (the cell advances on even frames only), and the effect is finished once every cell has played.
namespace effect_strip {

// Counts a start delay down by one; true on the update whose decrement ends it.
bool delayEnds(u8& delay);

// Advances the cell on an even frame; true once the cell has run past the last of `cellCount`.
bool advance(u32 frame, u8& cell, u8 cellCount);

} // namespace effect_strip
