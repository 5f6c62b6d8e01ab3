#pragma once
#include "core/filewrite.h"
#include "core/types.h"
#include "world/tilebytes.h"

#include <SDL/SDL.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct PixelBox;

// One byte naming a 16x16 cell of the tileset: high nibble row, low nibble column.
class Tile {
public:
    Tile() = default;
    Tile(u8 column, u8 row) : value(u8(row * 16 + column)) {}
    explicit Tile(u8 raw) : value(raw) {}
    Tile& setColumnRow(u8 column, u8 row)
    {
        value = u8(row * 16 + column);
        return *this;
    }
    Tile& setRaw(u8 raw)
    {
        value = raw;
        return *this;
    }
    u8 column() const { return value & 15; }
    u8 row() const { return value >> 4; }
    u8 raw() const { return value; }

private:
    u8 value = 0;
};

// What the streamer makes of a tile on the active layer.
enum TileKind : u8 {
    KindEmpty = 0,       // never drawn, never a block
    KindScenery = 1,     // drawn, no collision
    KindPlatform = 2,    // one-way platform
    KindSolid = 3,       // solid block
    KindSlopeLeft = 4,   // slope rising to the left
    KindSlopeRight = 5   // slope rising to the right
};

// Frames a pan path lasts after its last step.
constexpr u32 PanTail = 90;

// Camera motion per frame in eighths of a pixel, as stored.
struct PanStep {
    i8 dx8;
    i8 dy8;
};

struct LevelObject {
    u16 type;
    i32 x;
    i32 y;
};

enum CameraMode : u8 {
    CameraFollow = 0,  // follow the players
    CameraPan = 1      // scripted pan path
};

// A level: a tile map of columns x rows x layers over one tileset, the kind of every tile value,
// the start camera, a camera mode with its pan path, and the placed objects (kept in file order).
class Level {
public:
    explicit Level(const std::string& fileName);
    Level(u16 width, u16 height, u8 layers, u8 activeLayer, const std::string& setName);
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    bool inBounds(i32 x, i32 y, i32 layer) const;
    u8 tileAt(i32 x, i32 y, i32 layer) const;
    void setTile(i32 x, i32 y, i32 layer, u8 tile);
    SDL_Rect tileRect(i32 x, i32 y, i32 layer) const;
    static SDL_Rect tileSourceRect(Tile tile);
    u8 kindAt(i32 x, i32 y, i32 layer) const;
    u8 kind(Tile tile) const;
    void setKind(Tile tile, u8 kind);
    void setKindRaw(u8 tile, u8 kind);

    SDL_Surface* tileset() const { return tilesetImage; }
    const std::string& setName() const { return set; }
    u16 width() const { return columns; }
    u16 height() const { return rows; }
    u8 layers() const { return layerCount; }
    u8 activeLayer() const { return active; }
    u8 cameraMode() const { return mode; }
    u32 startCameraX() const { return startX; }
    u32 startCameraY() const { return startY; }
    void setCameraMode(u8 newMode) { mode = newMode; }
    void setStartCamera(u32 x, u32 y);
    bool loadFailed() const { return layerCount == 0; }

    // Screen coordinates; the caller adds any scroll.
    void draw(i32 x, i32 y, SDL_Surface* screen) const;
    void drawLayer(i32 x, i32 y, SDL_Surface* screen, u8 layer) const;
    void drawKinds(i32 x, i32 y, SDL_Surface* screen, SDL_Surface* kindsImage) const;
    void drawKindsLayer(i32 x, i32 y, SDL_Surface* screen, u8 layer, SDL_Surface* kindsImage) const;
    // A new surface of one pixel per tile; the caller owns it.
    SDL_Surface* miniMap(bool withObjects) const;
    // The same picture with its top-left at (x, y) on the screen. Only the pixels that land in
    // the screen's clip rectangle are worked out, so a window on a huge map costs what the window
    // holds.
    void drawMiniMap(i32 x, i32 y, SDL_Surface* screen, bool withObjects) const;

    // A frame that already has a step keeps it.
    void addPanStep(u32 frame, i8 dx, i8 dy);
    PanStep panStepAt(u32 frame) const;
    i32 panDX(u32 frame) const;
    i32 panDY(u32 frame) const;
    u32 panLength() const;
    u32 panStepCount() const { return u32(pan.size()); }
    void clearPan() { pan.clear(); }
    void truncatePan(u32 frame);

    LevelObject* addObject(u16 type, i32 x, i32 y);
    void removeObject(LevelObject* object);
    // Appends, in record order, every record whose bounds meet the rectangle strictly.
    void objectsInRect(std::vector<LevelObject*>& out, i32 x1, i32 y1, i32 x2, i32 y2) const;
    void allObjects(std::vector<LevelObject*>& out) const;

    // False when the file is missing, truncated, malformed or newer than version 3.
    bool load(const std::string& fileName);
    // Writes version 3 (see replaceFile for how a save fails). A level that load() would refuse
    // (no tile at all, or an unsafe set name) is not written: Failed, no file touched.
    SaveResult save(const std::string& fileName) const;

private:
    void clear();
    void loadTileset();
    size_t tileIndex(i32 x, i32 y, i32 layer) const;
    void drawTile(i32 x, i32 y, SDL_Surface* screen, i32 column, i32 row, i32 layer) const;
    // `cells` is the part of the map to draw, in map pixels (one per tile), half-open.
    void drawMiniMapTiles(i32 x, i32 y, SDL_Surface* screen, const PixelBox& cells) const;
    void drawMiniMapObjects(i32 x, i32 y, SDL_Surface* screen, const PixelBox& cells) const;

    std::string set;
    SDL_Surface* tilesetImage = nullptr;
    TileBytes tiles;
    u16 rows = 0;
    u16 columns = 0;
    u8 layerCount = 0;
    u8 active = 0;
    u8 kinds[256] = {};  // transposed: the kind of tile t is at (t & 15) * 16 + (t >> 4)
    u32 startX = 0;
    u32 startY = 0;
    u8 mode = CameraFollow;
    std::map<u32, PanStep> pan;
    std::vector<std::unique_ptr<LevelObject>> objects;
};

// False for a set name that the level file reader refuses: longer than 64 bytes, or holding
// '/', '\\' or "..".
bool safeSetName(const std::string& name);
std::string levelSetPath(const std::string& set, const std::string& fileName);

// The tile column (or row) a world pixel lies in. A pixel left of or above the map lies in a
// negative cell, never in the first one.
i32 tileCellOf(i32 pixel);
