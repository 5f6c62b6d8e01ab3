#pragma once
#include "core/types.h"
#include "world/physical.h"

class SystPhysical;

// An invisible probe box that asks the terrain whether a rectangle is blocked. Its owner keeps
// it as a plain value and never adds it to a system.
class Marker : public Physical {
public:
    Marker() = default;

    void setBox(i32 boxX, i32 boxY, u16 boxW, u16 boxH);
    // True when some block of the system, overlapping the box, stops it from one of the four
    // sides. Each block is asked with its own hit tests, so a one-way platform blocks only from
    // above and a slope only where its surface reaches into the box.
    bool isBlocked(SystPhysical* system, bool onGround);

private:
    bool overlaps(const Physical& other) const;
};
