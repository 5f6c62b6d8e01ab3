#include "actors/surface_planner.h"

#include "actors/actor.h"
#include "core/draw.h"
#include "core/engine.h"
#include "core/message.h"
#include "world/interfaces.h"
#include "world/objects/marker.h"
#include "world/systphysical.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

u16 probeHalfWidth = 0;
u16 probeHeight = 0;
i32 probeFootX = 0;
i32 probeFootY = 0;

namespace {

constexpr u32 White = 0xFFFFFFFF;
constexpr u32 Black = 0;

// One block's top surface as the span walk sees it.
struct SurfaceBlock {
    i32 left;
    i32 right;
    i32 top;
};

// Surfaces on one line: key (slope, intercept).
using SurfaceGroups = std::map<std::pair<i8, i32>, std::vector<SurfaceBlock>>;

Marker& probeMarker()
{
    static Marker probe;
    return probe;
}

// Every block surface, as the line its foot centre follows.
SurfaceGroups groupSurfaces(SystPhysical* system)
{
    SurfaceGroups groups;
    for (Block* block = system->firstIn<Block>(); system->hasMoreInCategory(); block = system->nextIn<Block>()) {
        i8 slope = i8(block->slopeCode());
        i32 intercept = (slope < 0 ? block->bottom() : block->top()) - footY(slope, 0, block->left());
        groups[{slope, intercept}].push_back({block->left(), block->left() + block->width(), block->top()});
    }
    for (auto& group : groups)
        std::stable_sort(group.second.begin(), group.second.end(),
                         [](const SurfaceBlock& a, const SurfaceBlock& b) { return a.left < b.left; });
    return groups;
}

// Walks the blocks of one line left to right with one open span, cutting it where the probe
// body would meet terrain and closing it at gaps.
class SpanWalk {
public:
    SpanWalk(SystPhysical* system, i8 slope, i32 intercept, std::set<SurfaceSpan>& records)
        : system(system), slope(slope), intercept(intercept), hw(probeHalfWidth), records(records)
    {
    }

    void visit(const SurfaceBlock& block)
    {
        bool aBlocked = blockedOnLine(block.left + hw);
        bool bBlocked = blockedOnLine(block.right - hw);
        if (!open) {
            if (!bBlocked)
                start(block, aBlocked);
        } else if (!bBlocked) {
            continueInto(block, aBlocked);
        } else {
            closeAt(block, aBlocked);
        }
    }

    void finish()
    {
        if (!open)
            return;
        applyEndRule();
        record(slope, intercept, x1, x2);
        open = false;
    }

private:
    bool blockedOnLine(i32 x) { return isProbeBlocked(system, x, lineY(slope, intercept, x)); }

    void record(i8 recordSlope, i32 recordIntercept, i32 from, i32 to)
    {
        records.insert({recordSlope, recordIntercept, from, to});
    }

    void start(const SurfaceBlock& block, bool aBlocked)
    {
        open = true;
        if (aBlocked) {
            x1 = block.right - hw;
            x2 = block.right;
            return;
        }
        x1 = block.left;
        x2 = block.right;
        if (slope <= 0) {
            x1 = blockedOnLine(block.left - hw) ? block.left + hw : block.left - hw;
        } else {
            // At the foot of a rising slope the probe may also stand on the flat before it.
            if (!isProbeBlocked(system, block.left - hw, block.top))
                record(0, block.top, block.left - hw, block.left + hw);
            x1 = block.left + hw;
        }
    }

    void continueInto(const SurfaceBlock& block, bool aBlocked)
    {
        if (block.left > x2) {
            applyEndRule();
            record(slope, intercept, x1, x2);
            start(block, aBlocked);
        } else if (!aBlocked) {
            x2 = block.right;
        } else {
            record(slope, intercept, x1, x2 - hw);
            x1 = block.right - hw;
            x2 = block.right;
        }
    }

    void closeAt(const SurfaceBlock& block, bool aBlocked)
    {
        if (x2 < block.left)
            applyEndRule();
        else if (!aBlocked)
            x2 += hw;
        else
            x2 -= hw;
        record(slope, intercept, x1, x2);
        open = false;
    }

    void applyEndRule()
    {
        if (slope < 0) {
            if (!isProbeBlocked(system, x2 + hw, lineY(slope, intercept, x2)))
                record(0, intercept + slope * (x2 - hw) / 4, x2 - hw, x2 + hw);
            x2 -= hw;
        } else if (blockedOnLine(x2 + hw)) {
            x2 -= hw;
        } else {
            x2 += hw;
        }
    }

    SystPhysical* system;
    i8 slope;
    i32 intercept;
    i32 hw;
    std::set<SurfaceSpan>& records;
    bool open = false;
    i32 x1 = 0;
    i32 x2 = 0;
};

void drawSpans(const std::set<SurfaceSpan>& spans, SDL_Surface* target)
{
    std::string intercepts;
    for (const SurfaceSpan& span : spans) {
        drawLineOffset(span.x1, lineY(span.slope, span.intercept, span.x1), span.x2,
                       lineY(span.slope, span.intercept, span.x2), Black, target);
        intercepts += std::to_string(span.intercept) + "\n";
    }
    fillRectOffset(target, i16(probeFootX), i16(probeFootY - probeHeight), 1, probeHeight, White);
    drawLineOffset(probeFootX, probeFootY, probeFootX, probeFootY - probeHeight, Black, target);
    drawText(0, 0, intercepts, 0, 0, target);
}

} // namespace

bool SurfaceSpan::operator<(const SurfaceSpan& other) const
{
    return std::tie(intercept, slope, x1, x2) < std::tie(other.intercept, other.slope, other.x1, other.x2);
}

i32 lineY(i8 slope, i32 intercept, i32 x)
{
    return intercept + slope * x / 4;
}

i32 footY(i8 slope, i32 base, i32 x)
{
    i32 corner = slope < 1 ? x - probeHalfWidth : x + probeHalfWidth;
    return base + slope * corner / 4;
}

bool isProbeBlocked(SystPhysical* system, i32 x, i32 y)
{
    Marker& probe = probeMarker();
    probe.setBox(x - probeHalfWidth, y - probeHeight, u16(2 * probeHalfWidth), probeHeight);
    return probe.isBlocked(system, true);
}

void setProbeBody(const Actor& actor)
{
    probeHalfWidth = u16(actor.w / 2);
    probeHeight = u16(actor.h);
    probeFootX = actor.x + probeHalfWidth;
    probeFootY = actor.y + actor.h;
}

std::set<SurfaceSpan> findSurfaceSpans(SystPhysical* system)
{
    std::set<SurfaceSpan> records;
    for (const auto& group : groupSurfaces(system)) {
        SpanWalk walk(system, group.first.first, group.first.second, records);
        for (const SurfaceBlock& block : group.second)
            walk.visit(block);
        walk.finish();
    }
    return records;
}

void planActorSurfaces(const Actor& actor, SystPhysical* system)
{
    setProbeBody(actor);
    u32 started = SDL_GetTicks();
    std::set<SurfaceSpan> spans = findSurfaceSpans(system);
    drawSpans(spans, backBuffer);
    drawText(200, 0, std::to_string(SDL_GetTicks() - started), 0, 0, backBuffer);
    presentScreen();
    waitForQuitOrReturn();
}
