#include "world/level.h"

#include "core/draw.h"
#include "core/filewrite.h"
#include "core/media.h"
#include "core/pixels.h"
#include "world/factory.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr u32 FileVersion = 3;
constexpr i32 TileSize = 16;
constexpr size_t MaxSetNameLength = 64;
constexpr u32 MiniMapObjectColour = 0xFFFF0000;
// The tiles are stored column by column and the mini-map row by row: walking both in square
// blocks of this many cells keeps the reads and the writes of a block in the cache.
constexpr i32 MiniMapBlock = 64;

u32 miniMapColour(u8 kind)
{
    switch (kind) {
    case KindScenery:
        return 0xFF777777;
    case KindPlatform:
        return 0xFFFFFF00;
    case KindSolid:
        return 0xFF00FFFF;
    case KindSlopeLeft:
    case KindSlopeRight:
        return 0xFF007777;
    default:
        return 0xFF000000;
    }
}

bool readWholeFile(const std::string& fileName, std::vector<u8>& out)
{
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f)
        return false;
    u8 chunk[8192];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        out.insert(out.end(), chunk, chunk + got);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// Little-endian reads that stop for good at the first one past the end.
class Reader {
public:
    explicit Reader(const std::vector<u8>& bytes) : bytes(bytes) {}
    bool ok() const { return good; }
    u64 remaining() const { return bytes.size() - pos; }
    u8 u8At()
    {
        if (!take(1))
            return 0;
        return bytes[pos - 1];
    }
    u16 u16At()
    {
        if (!take(2))
            return 0;
        return u16(bytes[pos - 2] | bytes[pos - 1] << 8);
    }
    u32 u32At()
    {
        if (!take(4))
            return 0;
        const u8* p = &bytes[pos - 4];
        return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24;
    }
    bool copy(u8* out, size_t n)
    {
        if (!take(n))
            return false;
        // Nothing to copy leaves out alone: an empty buffer may have no storage at all.
        if (n > 0)
            std::memcpy(out, bytes.data() + (pos - n), n);
        return true;
    }

private:
    bool take(u64 n)
    {
        if (!good || remaining() < n) {
            good = false;
            return false;
        }
        pos += size_t(n);
        return true;
    }

    const std::vector<u8>& bytes;
    size_t pos = 0;
    bool good = true;
};

// A cell shows the kind of its topmost tile that is not empty.
u8 shownKind(const u8* cellLayers, i32 layers, const u8* kindOfTile)
{
    u8 shown = KindEmpty;
    for (i32 layer = 0; layer < layers; ++layer) {
        const u8 k = kindOfTile[cellLayers[layer]];
        shown = k != KindEmpty ? k : shown;
    }
    return shown;
}

// The cells of a map drawn at (x, y) that can show on the screen. Only these are drawn: beyond
// them a position no longer fits the blitter's 16 bits and would wrap back onto the screen.
struct CellRange {
    i32 firstColumn, endColumn, firstRow, endRow;
};

i32 floorDiv(i32 a, i32 b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

CellRange visibleCells(i32 x, i32 y, const SDL_Surface* screen, i32 columns, i32 rows)
{
    if (!screen)
        return {0, 0, 0, 0};
    return {std::max(0, floorDiv(-x, TileSize)), std::min(columns, floorDiv(screen->w - x + TileSize - 1, TileSize)),
            std::max(0, floorDiv(-y, TileSize)), std::min(rows, floorDiv(screen->h - y + TileSize - 1, TileSize))};
}

class Writer {
public:
    void u8s(u8 v) { bytes.push_back(v); }
    void u16s(u16 v)
    {
        u8s(u8(v));
        u8s(u8(v >> 8));
    }
    void u32s(u32 v)
    {
        u16s(u16(v));
        u16s(u16(v >> 16));
    }
    void raw(const u8* p, size_t n) { bytes.insert(bytes.end(), p, p + n); }

    std::vector<u8> bytes;
};

} // namespace

// A set name becomes part of a resource path: keep it short and inside "resource/".
bool safeSetName(const std::string& name)
{
    return name.size() <= MaxSetNameLength && name.find_first_of("/\\") == std::string::npos &&
           name.find("..") == std::string::npos;
}

std::string levelSetPath(const std::string& set, const std::string& fileName)
{
    return "resource/" + set + "-" + fileName;
}

i32 tileCellOf(i32 pixel)
{
    return floorDiv(pixel, TileSize);
}

Level::Level(const std::string& fileName)
{
    buildObjectBounds();
    load(fileName);
}

Level::Level(u16 width, u16 height, u8 layers, u8 activeLayer, const std::string& setName)
    : set(setName), rows(height), columns(width), layerCount(layers), active(activeLayer), mode(CameraPan)
{
    buildObjectBounds();
    loadTileset();
    std::fill(std::begin(kinds), std::end(kinds), u8(KindScenery));
    kinds[0] = KindEmpty;
    tiles = TileBytes(size_t(width) * height * layers);
    addPanStep(0, 0, 0);
}

void Level::clear()
{
    set.clear();
    tilesetImage = nullptr;
    tiles = TileBytes();
    rows = columns = 0;
    layerCount = active = 0;
    std::fill(std::begin(kinds), std::end(kinds), u8(0));
    startX = startY = 0;
    mode = CameraFollow;
    pan.clear();
    objects.clear();
}

void Level::loadTileset()
{
    tilesetImage = loadGraphic(levelSetPath(set, "tiles.gif"), true, 0, 255, 0, true);
}

size_t Level::tileIndex(i32 x, i32 y, i32 layer) const
{
    return (size_t(rows) * size_t(x) + size_t(y)) * layerCount + size_t(layer);
}

bool Level::inBounds(i32 x, i32 y, i32 layer) const
{
    return x >= 0 && x < columns && y >= 0 && y < rows && layer >= 0 && layer < layerCount;
}

u8 Level::tileAt(i32 x, i32 y, i32 layer) const
{
    return inBounds(x, y, layer) ? tiles[tileIndex(x, y, layer)] : 0;
}

void Level::setTile(i32 x, i32 y, i32 layer, u8 tile)
{
    if (!inBounds(x, y, layer))
        return;
    tiles[tileIndex(x, y, layer)] = tile;
}

SDL_Rect Level::tileRect(i32 x, i32 y, i32 layer) const
{
    return tileSourceRect(Tile(tileAt(x, y, layer)));
}

SDL_Rect Level::tileSourceRect(Tile tile)
{
    SDL_Rect r;
    r.x = i16(tile.column() * TileSize);
    r.y = i16(tile.row() * TileSize);
    r.w = TileSize;
    r.h = TileSize;
    return r;
}

u8 Level::kindAt(i32 x, i32 y, i32 layer) const
{
    return kind(Tile(tileAt(x, y, layer)));
}

u8 Level::kind(Tile tile) const
{
    return kinds[tile.column() * 16 + tile.row()];
}

void Level::setKind(Tile tile, u8 kind)
{
    kinds[tile.column() * 16 + tile.row()] = kind;
}

void Level::setKindRaw(u8 tile, u8 kind)
{
    setKind(Tile(tile), kind);
}

void Level::setStartCamera(u32 x, u32 y)
{
    startX = x;
    startY = y;
}

void Level::draw(i32 x, i32 y, SDL_Surface* screen) const
{
    CellRange cells = visibleCells(x, y, screen, columns, rows);
    for (i32 c = cells.firstColumn; c < cells.endColumn; ++c) {
        for (i32 r = cells.firstRow; r < cells.endRow; ++r) {
            for (i32 layer = 0; layer < layerCount; ++layer)
                drawTile(x, y, screen, c, r, layer);
        }
    }
}

void Level::drawLayer(i32 x, i32 y, SDL_Surface* screen, u8 layer) const
{
    if (layer >= layerCount)
        return;
    CellRange cells = visibleCells(x, y, screen, columns, rows);
    for (i32 c = cells.firstColumn; c < cells.endColumn; ++c) {
        for (i32 r = cells.firstRow; r < cells.endRow; ++r)
            drawTile(x, y, screen, c, r, layer);
    }
}

// (x, y) is where the level's top-left corner lands on the screen.
void Level::drawTile(i32 x, i32 y, SDL_Surface* screen, i32 c, i32 r, i32 layer) const
{
    u8 tile = tiles[tileIndex(c, r, layer)];
    if (kind(Tile(tile)) == KindEmpty)
        return;
    SDL_Rect source = tileSourceRect(Tile(tile));
    blitSurface(i16(x + c * TileSize), i16(y + r * TileSize), tilesetImage, screen, &source);
}

void Level::drawKinds(i32 x, i32 y, SDL_Surface* screen, SDL_Surface* kindsImage) const
{
    for (u8 layer = 0; layer < layerCount; ++layer)
        drawKindsLayer(x, y, screen, layer, kindsImage);
}

void Level::drawKindsLayer(i32 x, i32 y, SDL_Surface* screen, u8 layer, SDL_Surface* kindsImage) const
{
    if (layer >= layerCount)
        return;
    CellRange cells = visibleCells(x, y, screen, columns, rows);
    for (i32 c = cells.firstColumn; c < cells.endColumn; ++c) {
        for (i32 r = cells.firstRow; r < cells.endRow; ++r) {
            blitSurfaceRect(i16(x + c * TileSize), i16(y + r * TileSize), kindsImage, screen,
                            i16(kindAt(c, r, layer) * TileSize), 0, TileSize, TileSize);
        }
    }
}

SDL_Surface* Level::miniMap(bool withObjects) const
{
    SDL_Surface* map = createSurface(columns, rows);
    drawMiniMap(0, 0, map, withObjects);
    return map;
}

void Level::drawMiniMap(i32 x, i32 y, SDL_Surface* screen, bool withObjects) const
{
    SurfaceLock lock(screen);
    if (!lock.ok())
        return;
    const PixelBox box = clipBox(screen);
    // Worked out in 64 bits: a map far off the screen must not wrap back onto it.
    auto mapSpan = [](int screenEdge, i32 at, i32 count) {
        return int(std::clamp<i64>(i64(screenEdge) - at, 0, count));
    };
    const PixelBox cells = {mapSpan(box.x0, x, columns), mapSpan(box.y0, y, rows), mapSpan(box.x1, x, columns),
                            mapSpan(box.y1, y, rows)};
    drawMiniMapTiles(x, y, screen, cells);
    if (withObjects)
        drawMiniMapObjects(x, y, screen, cells);
}

void Level::drawMiniMapTiles(i32 x, i32 y, SDL_Surface* screen, const PixelBox& cells) const
{
    u8 kindOfTile[256];
    u32 colourOfKind[256];
    for (u32 t = 0; t < 256; ++t) {
        kindOfTile[t] = kind(Tile(u8(t)));
        colourOfKind[t] = miniMapColour(u8(t));
    }
    for (i32 left = cells.x0; left < cells.x1; left += MiniMapBlock) {
        const i32 right = std::min(cells.x1, left + MiniMapBlock);
        for (i32 top = cells.y0; top < cells.y1; top += MiniMapBlock) {
            const i32 bottom = std::min(cells.y1, top + MiniMapBlock);
            for (i32 c = left; c < right; ++c) {
                const u8* cell = tiles.data() + tileIndex(c, top, 0);
                for (i32 r = top; r < bottom; ++r, cell += layerCount)
                    pixelRow(screen, y + r)[x + c] = colourOfKind[shownKind(cell, layerCount, kindOfTile)];
            }
        }
    }
}

// Objects lie over the tiles; one whose tile is off the map or outside the cells is not drawn.
void Level::drawMiniMapObjects(i32 x, i32 y, SDL_Surface* screen, const PixelBox& cells) const
{
    for (const auto& o : objects) {
        const i32 c = o->x / TileSize, r = o->y / TileSize;
        if (c >= cells.x0 && c < cells.x1 && r >= cells.y0 && r < cells.y1)
            pixelRow(screen, y + r)[x + c] = MiniMapObjectColour;
    }
}

void Level::addPanStep(u32 frame, i8 dx, i8 dy)
{
    // Stored in eighths; values outside -16..15 wrap like the byte they are kept in.
    pan.emplace(frame, PanStep{i8(u8(dx * 8)), i8(u8(dy * 8))});
}

PanStep Level::panStepAt(u32 frame) const
{
    auto it = pan.upper_bound(frame);
    if (it == pan.begin())
        return {0, 0};
    return std::prev(it)->second;
}

i32 Level::panDX(u32 frame) const
{
    return panStepAt(frame).dx8 / 8;
}

i32 Level::panDY(u32 frame) const
{
    return panStepAt(frame).dy8 / 8;
}

u32 Level::panLength() const
{
    return pan.empty() ? 0 : pan.rbegin()->first + PanTail;
}

void Level::truncatePan(u32 frame)
{
    pan.erase(pan.upper_bound(frame), pan.end());
}

LevelObject* Level::addObject(u16 type, i32 x, i32 y)
{
    objects.push_back(std::make_unique<LevelObject>(LevelObject{type, x, y}));
    return objects.back().get();
}

void Level::removeObject(LevelObject* object)
{
    auto it = std::find_if(objects.begin(), objects.end(), [&](const auto& o) { return o.get() == object; });
    if (it == objects.end())
        return;
    objects.erase(it);
}

void Level::objectsInRect(std::vector<LevelObject*>& out, i32 x1, i32 y1, i32 x2, i32 y2) const
{
    for (const auto& o : objects) {
        const ObjectBounds& b = objectBounds(o->type);
        if (o->x + b.right > x1 && o->y + b.bottom > y1 && o->x + b.left < x2 && o->y + b.top < y2)
            out.push_back(o.get());
    }
}

void Level::allObjects(std::vector<LevelObject*>& out) const
{
    for (const auto& o : objects)
        out.push_back(o.get());
}

bool Level::load(const std::string& fileName)
{
    clear();
    std::vector<u8> bytes;
    if (!readWholeFile(fileName, bytes) || bytes.size() < 4)
        return false;
    Reader in(bytes);
    u32 version = in.u32At();
    if (version > FileVersion)
        return false;

    std::string name = "cytok";
    if (version == FileVersion) {
        name.clear();
        for (u8 c = in.u8At(); in.ok() && c != 0; c = in.u8At())
            name.push_back(char(c));
        if (!in.ok() || !safeSetName(name))
            return false;
    }
    set = name;
    loadTileset();

    u8 table[256];
    in.copy(table, sizeof table);
    u8 a[4], b[4], c[4], d[4];
    in.copy(a, 4);
    in.copy(b, 4);
    in.copy(c, 4);
    in.copy(d, 4);
    if (!in.ok()) {
        clear();
        return false;
    }
    std::memcpy(kinds, table, sizeof kinds);
    u16 height = u16(b[0] | b[1] << 8);
    u16 width = u16(b[2] | b[3] << 8);
    u8 layers = c[0];
    kinds[0] = d[2];
    kinds[1] = d[3];

    // 64 bits: three 16-, 16- and 8-bit factors cannot overflow it. A map without a single
    // tile is as malformed as one whose tiles are missing.
    u64 tileCount = u64(width) * height * layers;
    if (tileCount == 0 || tileCount > in.remaining()) {
        clear();
        return false;
    }
    tiles = TileBytes(size_t(tileCount));
    in.copy(tiles.data(), tiles.size());

    if (version < 2) {
        mode = CameraPan;
        addPanStep(0, 1, 0);
        addObject(0, 64, 64);
    } else {
        startX = in.u32At();
        startY = in.u32At();
        mode = in.u8At();
        if (mode == CameraPan) {
            u16 steps = in.u16At();
            for (u32 i = 0; i < steps && in.ok(); ++i) {
                u32 frame = in.u32At();
                i8 dx8 = i8(in.u8At());
                i8 dy8 = i8(in.u8At());
                if (in.ok())
                    pan.emplace(frame, PanStep{dx8, dy8});
            }
        }
        u32 count = in.u32At();
        for (u32 i = 0; i < count && in.ok(); ++i) {
            u16 type = in.u16At();
            in.u16At();  // two bytes no reader looks at
            i32 x = i32(in.u32At());
            i32 y = i32(in.u32At());
            if (in.ok())
                addObject(type, x, y);
        }
    }
    if (!in.ok()) {
        clear();
        return false;
    }
    rows = height;
    columns = width;
    active = d[0];
    layerCount = layers;
    return layerCount != 0;
}

SaveResult Level::save(const std::string& fileName) const
{
    // What load() refuses is never written, so a saved file always opens again.
    if (tiles.size() == 0 || !safeSetName(set))
        return SaveResult::Failed;
    Writer out;
    out.u32s(FileVersion);
    const char* name = set.c_str();
    out.raw(reinterpret_cast<const u8*>(name), std::strlen(name) + 1);
    out.raw(kinds, sizeof kinds);
    out.u16s(columns);  // A
    out.u8s(layerCount);
    out.u8s(active);
    out.u16s(rows);  // B
    out.u16s(columns);
    out.u8s(layerCount);  // C
    out.u8s(active);
    out.u8s(1);
    out.u8s(kinds[0]);
    out.u8s(active);  // D
    out.u8s(1);
    out.u8s(kinds[0]);
    out.u8s(kinds[1]);
    out.raw(tiles.data(), tiles.size());
    out.u32s(startX);
    out.u32s(startY);
    out.u8s(mode);
    if (mode == CameraPan) {
        // The count is 16 bits: never announce more steps than are written.
        u16 steps = u16(std::min<size_t>(pan.size(), 0xFFFF));
        out.u16s(steps);
        auto it = pan.begin();
        for (u16 i = 0; i < steps; ++i, ++it) {
            out.u32s(it->first);
            out.u8s(u8(it->second.dx8));
            out.u8s(u8(it->second.dy8));
        }
    }
    out.u32s(u32(objects.size()));
    for (const auto& o : objects) {
        out.u16s(o->type);
        out.u16s(0);
        out.u32s(u32(o->x));
        out.u32s(u32(o->y));
    }

    return replaceFile(fileName, out.bytes);
}
