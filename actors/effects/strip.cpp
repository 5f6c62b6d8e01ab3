#include "actors/effects/strip.h"

namespace effect_strip {

bool delayEnds(u8& delay)
{
    --delay;
    return delay == 0;
}

bool advance(u32 frame, u8& cell, u8 cellCount)
{
    if (frame % 2 == 0)
        ++cell;
    return cell >= cellCount;
}

} // namespace effect_strip
