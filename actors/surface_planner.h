#pragma once
#include "core/types.h"

#include <set>

class Actor;
class SystPhysical;

// The probe body of the last plan: the planning actor's size, feet centred on a point.
extern u16 probeHalfWidth;
extern u16 probeHeight;
extern i32 probeFootX;
extern i32 probeFootY;

// A stretch of a surface line y = intercept + slope * x / 4 (x and y followed by the centre of
// the feet) on which the probe body can stand.
struct SurfaceSpan {
    i8 slope;
    i32 intercept;
    i32 x1;
    i32 x2;

    bool operator<(const SurfaceSpan& other) const;
};

// y of a surface line at x, the quotient truncated toward zero.
i32 lineY(i8 slope, i32 intercept, i32 x);
// y of a surface line under a corner of the probe's feet centred at x: the left corner for
// slopes of 0 and below, the right one otherwise. The quotient is truncated toward zero.
i32 footY(i8 slope, i32 base, i32 x);

// True when a body of the probe's size standing with its feet centred at (x, y) meets terrain.
bool isProbeBlocked(SystPhysical* system, i32 x, i32 y);

// Sets the probe to the actor's size and feet.
void setProbeBody(const Actor& actor);

// Groups the system's block surfaces into lines and cuts them into standing spans for the probe.
std::set<SurfaceSpan> findSurfaceSpans(SystPhysical* system);

// Analyses the terrain for the actor, draws the spans over the current frame with the time the
// analysis took, shows the picture and holds the program until Return (or a quit request).
void planActorSurfaces(const Actor& actor, SystPhysical* system);
