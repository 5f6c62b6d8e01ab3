#pragma once
#include "core/gamesystem.h"
#include "core/types.h"
#include "editor/catalogue.h"

#include <SDL/SDL.h>
#include <map>
#include <memory>
#include <string>

class BackClouds;
class BitGrid;
class Level;
class Physical;
struct LevelObject;

// The editor's four screens.
enum EditorMode : u8 {
    ModeTilePicker = 1,  // the tile set: choose tiles, hotkeys, kinds and the autotile group
    ModeRoom = 2,        // the level itself: paint tiles, mark autotile cells, place objects
    ModeCatalogue = 3,   // the object catalogue ("Dynamic Selector")
    ModeViewPath = 4     // the camera path over a mini-map of the level
};

// The built-in level editor. It owns one level and shows it on one of four screens; the
// function keys save, load, create and test-play level files on every screen.
class SystEditor : public GameSystem {
public:
    SystEditor();
    ~SystEditor() override;
    SystEditor(const SystEditor&) = delete;
    SystEditor& operator=(const SystEditor&) = delete;

    void update() override;
    void draw(SDL_Surface* backBuffer) override;

    // The help screen of a page: 0 getting started, then one page for each mode.
    static void showHelp(u8 page);
    static std::string helpText(u8 page);

    const Level& level() const { return *edited; }
    const BitGrid& autotileMarks() const { return *autotileGrid; }
    EditorMode mode() const { return screen; }
    u8 currentTile() const { return tile; }
    u8 hotkey(u8 n) const { return hotkeys[n]; }
    i32 cameraX() const { return scrollX; }
    i32 cameraY() const { return scrollY; }
    i32 layer() const { return paintLayer; }
    i32 pickBoxX() const { return boxX; }
    i32 pickBoxY() const { return boxY; }
    u8 groupColumn() const { return groupX; }
    u8 groupRow() const { return groupY; }
    bool groupChosen() const { return groupPicked; }
    bool showAllLayers() const { return allLayers; }
    i32 kindOverlayFrames() const { return overlayFrames; }
    u16 currentType() const { return objectType; }
    const Catalogue& catalogue() const { return objects; }
    size_t selectedCategory() const { return category; }
    size_t selectedItem() const { return item; }
    i32 viewFrame() const { return pathFrame; }
    i32 viewLength() const { return pathLength; }
    i32 viewX() const { return boxWorldX; }
    i32 viewY() const { return boxWorldY; }
    // The placed objects, as live objects paired with their level records.
    const std::map<Physical*, LevelObject*>& previews() const { return placed; }

private:
    void switchMode();

    // Room editor (mode 2).
    void updateRoom();
    void paintOrMark(i32 cellX, i32 cellY);
    void eraseOrDelete(i32 cellX, i32 cellY, i32 worldX, i32 worldY);
    void placeObject(i32 worldX, i32 worldY);
    void deleteObjectsAt(i32 worldX, i32 worldY);
    void scrollRoom();
    void recallHotkeys();
    void drawRoom(SDL_Surface* target);
    void drawPreviews(SDL_Surface* target);
    void drawRoomCursor(SDL_Surface* target);
    void drawObjectPreview(SDL_Surface* target, u16 type, i32 worldX, i32 worldY);
    void drawStatus(SDL_Surface* target);

    // Tile picker (mode 1).
    void updatePicker();
    void storeHotkeys();
    void drawPicker(SDL_Surface* target);
    void drawTileSet(SDL_Surface* target);
    void drawKindIcons(SDL_Surface* target);

    // Object catalogue (mode 3).
    void updateCatalogue();
    void drawCatalogue(SDL_Surface* target);
    const CatalogueCategory& shownCategory() const;

    // View editor (mode 4).
    void updateViewPath();
    void stepBack(i32 frames);
    void stepForward(i32 frames);
    void extendPath(i32 h, i32 v);
    void moveStart(i32 h, i32 v);
    i32 cameraLimitX() const;
    i32 cameraLimitY() const;
    void drawViewPath(SDL_Surface* target);

    // Function keys.
    void functionKeys();
    void saveLevel();
    void loadLevel();
    void newLevel();
    void testPlay();
    void replaceLevel(std::unique_ptr<Level> level);
    void clearPreviews();

    std::unique_ptr<Level> edited;
    u8 tile = 1;
    i32 scrollX = 0;
    i32 scrollY = 0;
    i32 paintLayer = 1;
    i32 boxX = 16;
    i32 boxY = 0;
    i32 frameCounter = 0;
    EditorMode screen = ModeTilePicker;
    SDL_Surface* symbolsImage;
    SDL_Surface* cursorImage;
    SDL_Surface* grouperImage;
    SDL_Surface* viewboxImage;
    i32 overlayFrames = 0;
    bool allLayers = true;
    u8 groupX = 1;
    u8 groupY = 1;
    std::unique_ptr<BitGrid> autotileGrid;
    bool groupPicked = false;
    u8 hotkeys[10] = {};
    std::map<Physical*, LevelObject*> placed;  // owns the live objects
    u16 objectType = 0;
    Catalogue objects;
    size_t category = 0;
    size_t item = 0;
    i32 pathFrame = 0;
    i32 pathLength = 0;
    i32 boxWorldX = 0;
    i32 boxWorldY = 0;
    std::unique_ptr<BackClouds> clouds;
};
