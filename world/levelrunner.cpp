#include "world/levelrunner.h"

#include "core/log.h"
#include "world/factory.h"
#include "world/level.h"
#include "world/terrain/terrainblocks.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr i32 TilePx = 16;
constexpr i32 ScreenW = 320;
constexpr i32 ScreenH = 240;
constexpr i32 BlockMargin = 64;   // terrain exists this far around the screen
constexpr i32 ObjectMargin = 32;  // placed objects are created this far around the screen
constexpr u32 DespawnPeriod = 16; // frames between passes that drop far terrain
constexpr i32 RunnerDepth = 10000;
// A move from outside longer than the object window leaves nothing of the old windows to extend.
constexpr i32 FarMoveX = ScreenW + 2 * ObjectMargin;
constexpr i32 FarMoveY = ScreenH + 2 * ObjectMargin;

LevelPartMaker backdropMaker = nullptr;

u64 cellKey(i32 column, i32 row)
{
    return u64(u32(column)) << 32 | u32(row);
}

// The cell a block stands on now.
u64 cellUnder(const Physical& block)
{
    return cellKey(tileCellOf(block.x), tileCellOf(block.y));
}

i32 towardBy1(i32 from, i32 to)
{
    if (to > from)
        return from + 1;
    if (to < from)
        return from - 1;
    return from;
}

} // namespace

i32 cameraFollowStep(i32 distance, i32 reach)
{
    if (distance > reach)
        return distance - reach;
    if (distance < -reach)
        return distance + reach;
    if (distance > 0)
        return distance / 12 + 1;
    if (distance < 0)
        return distance / 12 - 1;
    return 0;
}

LevelPartMaker setLevelBackdropMaker(LevelPartMaker maker)
{
    LevelPartMaker previous = backdropMaker;
    backdropMaker = maker;
    return previous;
}

LevelRunner::LevelRunner(const std::string& fileName)
    : Physical(FlagLevelDriver, 0, 0, 0, 0, RunnerDepth), levelData(std::make_unique<Level>(fileName))
{
    if (levelData->loadFailed())
        logLine("Failed to load level " + fileName);
    levelData->setCameraMode(CameraFollow);
}

LevelRunner::~LevelRunner() = default;

void LevelRunner::usePanCamera()
{
    levelData->setCameraMode(CameraPan);
}

void LevelRunner::onAdd()
{
    if (backdropMaker)
        owner->add(backdropMaker());
    leftX = owner->cameraX = i32(levelData->startCameraX());
    leftY = owner->cameraY = i32(levelData->startCameraY());
    buildWindow(leftX, leftY);
}

void LevelRunner::update()
{
    const i32 ox = owner->cameraX, oy = owner->cameraY;
    // Others move the camera too: a boss fight's shake, or a looper carrying the whole world back
    // with it, blocks included.
    if (ox != leftX || oy != leftY)
        refileBlocks();
    i32 nx = ox, ny = oy;
    if (levelData->cameraMode() == CameraFollow) {
        followPlayers(ox, oy, &nx, &ny);
    } else if (levelData->cameraMode() == CameraPan) {
        u32 f = owner->frame();
        nx = ox + levelData->panDX(f);
        ny = oy + levelData->panDY(f);
    }
    owner->cameraX = nx;
    owner->cameraY = ny;
    // The pass runs before this frame builds anything: what it builds joins the system only after
    // the frame, and the pass would take it for gone.
    const bool far = std::abs(nx - leftX) > FarMoveX || std::abs(ny - leftY) > FarMoveY;
    if (owner->frame() % DespawnPeriod == 0 || far)
        despawnOutside(nx - BlockMargin, ny - BlockMargin, nx + ScreenW + BlockMargin, ny + ScreenH + BlockMargin);
    if (far)
        buildWindow(nx, ny);
    else
        streamAround(leftX, leftY, nx, ny);
    leftX = nx;
    leftY = ny;
}

void LevelRunner::buildWindow(i32 cx, i32 cy)
{
    exposeStrip(cx - BlockMargin, cy - BlockMargin, cx + ScreenW + BlockMargin, cy + ScreenH + BlockMargin, 0);
    spawnObjects(cx - ObjectMargin, cy - ObjectMargin, cx + ScreenW + ObjectMargin, cy + ScreenH + ObjectMargin,
                 0);
}

void LevelRunner::refileBlocks()
{
    std::vector<u64> vacated;
    std::vector<u64> taken;
    for (auto it = streamed.begin(); it != streamed.end();) {
        StreamedObject& entry = it->second;
        const bool alive = owner->isAlive(PhysicalRef{entry.object, it->first});
        if (!entry.cell || (alive && cellUnder(*entry.object) == *entry.cell)) {
            ++it;
            continue;
        }
        vacated.push_back(*entry.cell);
        if (!alive) {
            it = streamed.erase(it);
            continue;
        }
        entry.cell = cellUnder(*entry.object);
        taken.push_back(*entry.cell);
        ++it;
    }
    // All that moved, moved together: a cell one block left may be the one another came to.
    for (u64 cell : vacated)
        builtCells.erase(cell);
    builtCells.insert(taken.begin(), taken.end());
}

void LevelRunner::followPlayers(i32 ox, i32 oy, i32* nx, i32* ny)
{
    i32 maxX = levelData->width() * TilePx - ScreenW;
    i32 maxY = levelData->height() * TilePx - ScreenH;
    i64 sumX = 0, sumY = 0;
    i32 n = 0;
    for (Player* p = owner->firstIn<Player>(); owner->hasMoreInCategory(); p = owner->nextIn<Player>()) {
        if (!p)
            continue;
        sumX += std::min(std::max(p->centerX() - ScreenW / 2, 0), maxX);
        sumY += std::min(std::max(p->centerY() - ScreenH / 2, 0), maxY);
        ++n;
    }
    // A camera-focus object (a boss fight) pulls the camera one pixel a frame, unclamped.
    if (Physical* focus = owner->firstOfType(FlagCameraFocus)) {
        *nx = towardBy1(ox, focus->x - ScreenW / 2);
        *ny = towardBy1(oy, focus->y - ScreenH / 2);
        return;
    }
    if (n == 0)
        return;
    *nx = ox + cameraFollowStep(i32(sumX / n) - ox, ScreenW / 2);
    *ny = oy + cameraFollowStep(i32(sumY / n) - oy, ScreenH / 2);
}

void LevelRunner::streamAround(i32 ox, i32 oy, i32 nx, i32 ny)
{
    const i32 bw = ScreenW + BlockMargin, bh = ScreenH + BlockMargin;
    const i32 ow = ScreenW + ObjectMargin, oh = ScreenH + ObjectMargin;
    if (nx > ox) {
        exposeStrip(ox + bw, ny - BlockMargin, nx + bw, ny + bh, 1);
        spawnObjects(ox + ow, ny - ObjectMargin, nx + ow, ny + oh, 1);
    } else if (nx < ox) {
        exposeStrip(nx - BlockMargin, ny - BlockMargin, ox - BlockMargin, ny + bh, 2);
        spawnObjects(nx - ObjectMargin, ny - ObjectMargin, ox - ObjectMargin, ny + oh, 2);
    }
    i32 lo = std::min(ox, nx), hi = std::max(ox, nx);
    if (ny > oy) {
        exposeStrip(lo - BlockMargin, oy + bh, hi + bw, ny + bh, 3);
        spawnObjects(lo - ObjectMargin, oy + oh, hi + ow, ny + oh, 3);
    } else if (ny < oy) {
        exposeStrip(lo - BlockMargin, ny - BlockMargin, hi + bw, oy - BlockMargin, 4);
        spawnObjects(lo - ObjectMargin, ny - ObjectMargin, hi + ow, oy - ObjectMargin, 4);
    }
}

void LevelRunner::exposeStrip(i32 x1, i32 y1, i32 x2, i32 y2, u8 direction)
{
    i32 c1 = tileCellOf(x1), c2 = tileCellOf(x2), r1 = tileCellOf(y1), r2 = tileCellOf(y2);
    // A moving edge skips the column or row it built in an earlier frame.
    switch (direction) {
    case 0:
        break;
    case 1:
        if (c1 >= c2)
            return;
        ++c1;
        break;
    case 2:
        if (c1 >= c2)
            return;
        --c2;
        break;
    case 3:
        if (r1 >= r2)
            return;
        ++r1;
        break;
    case 4:
        if (r1 >= r2)
            return;
        --r2;
        break;
    default:
        return;
    }
    for (i32 c = c1; c <= c2; ++c) {
        for (i32 r = r1; r <= r2; ++r)
            buildBlocks(c, r);
    }
}

void LevelRunner::buildBlocks(i32 column, i32 row)
{
    // A cell whose blocks still stand (the camera crossed back before they were dropped) is not
    // built a second time.
    u64 cell = cellKey(column, row);
    if (builtCells.count(cell))
        return;
    const Level& L = *levelData;
    const i32 active = L.activeLayer();
    const i32 bx = column * TilePx, by = row * TilePx;
    for (i32 layer = 0; layer < L.layers(); ++layer) {
        u8 kind = L.kindAt(column, row, layer);
        SDL_Rect source = L.tileRect(column, row, layer);
        SDL_Surface* image = L.tileset();
        if (layer != active) {
            if (kind != KindEmpty)
                addBlock(new GraphicBlock(bx, by, (active - layer) * 10, image, source), cell);
            continue;
        }
        switch (kind) {
        case KindScenery:
            addBlock(new GraphicBlock(bx, by, -1, image, source), cell);
            break;
        case KindPlatform:
            addBlock(new ThroughBlock(bx, by, -1, image, source), cell);
            break;
        case KindSolid:
            addBlock(new FullBlock(bx, by, -1, image, source), cell);
            break;
        case KindSlopeLeft:
            addBlock(new SlopeBlock_Left(bx, by, -1, image, source), cell);
            break;
        case KindSlopeRight:
            addBlock(new SlopeBlock_Right(bx, by, -1, image, source), cell);
            break;
        default:
            break;
        }
    }
}

void LevelRunner::addBlock(Physical* block, u64 cell)
{
    builtCells.insert(cell);
    stream(block, cell);
}

void LevelRunner::addObject(Physical* object)
{
    addPhysical(owner, object);
}

void LevelRunner::spawn(Physical* object)
{
    stream(object, std::nullopt);
}

void LevelRunner::stream(Physical* object, std::optional<u64> cell)
{
    // Filed first, under the serial the add gives it, so an object that asks to be forgotten as
    // it is added stays forgotten. Without a system the add deletes the object, and one that has
    // an owner already is refused: neither is filed.
    if (owner && object && !object->owner)
        streamed.emplace(SystPhysical::nextSerial(), StreamedObject{object, cell});
    addObject(object);
}

void LevelRunner::forget(Physical* object)
{
    // A forgotten block still stands, so its cell stays built.
    streamed.erase(object->serial);
}

void LevelRunner::despawnOutside(i32 x1, i32 y1, i32 x2, i32 y2)
{
    for (auto it = streamed.begin(); it != streamed.end();) {
        Physical* b = it->second.object;
        // One that is gone (deleted) is dropped unread. Its cell may be built again when it
        // comes into view; a spawned object is not made again (its placement was used up).
        if (owner->isAlive(PhysicalRef{b, it->first})) {
            if (b->x <= x2 && b->y <= y2 && b->x + b->w >= x1 && b->y + b->h >= y1) {
                ++it;
                continue;
            }
            owner->remove(b);
        }
        if (it->second.cell)
            builtCells.erase(*it->second.cell);
        it = streamed.erase(it);
    }
}

void LevelRunner::spawnObjects(i32 x1, i32 y1, i32 x2, i32 y2, u8 direction)
{
    std::vector<LevelObject*> found;
    levelData->objectsInRect(found, x1, y1, x2, y2);
    for (LevelObject* record : found) {
        Physical* object = createObject(record->type, record->x, record->y);
        if (!object) {
            // No class for it (the factory logged that): drop it rather than retry every frame.
            levelData->removeObject(record);
            continue;
        }
        bool inside = direction == 0 || (direction == 1 && object->x < x2) ||
                      (direction == 2 && x1 < object->x + object->w) || (direction == 3 && object->y < y2) ||
                      (direction == 4 && y1 < object->y + object->h);
        if (!inside) {
            delete object;
            continue;
        }
        owner->add(object);
        levelData->removeObject(record);
    }
}
