#include "editor/systeditor.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/media.h"
#include "editor/bitgrid.h"
#include "editor/editorinput.h"
#include "story/level_exit.h"
#include "world/level.h"
#include "world/objects/backclouds.h"
#include "world/physical.h"

using namespace editor_keys;

namespace {

constexpr u16 NewLevelWidth = 300;
constexpr u16 NewLevelHeight = 30;
constexpr u8 NewLevelLayers = 3;
constexpr u8 NewLevelActiveLayer = 1;
const char* const NewLevelSet = "cytok";

// Holding a mouse button speeds the whole program up so that strokes of the mouse paint
// without gaps.
constexpr int DraggingFramesPerSecond = 100;
constexpr int NormalFramesPerSecond = 30;

SDL_Surface* loadEditorImage(const char* name, u8 keyGrey)
{
    return loadGraphic(name, true, keyGrey, keyGrey, keyGrey, false);
}

} // namespace

SystEditor::SystEditor()
    : GameSystem(0),
      edited(std::make_unique<Level>(NewLevelWidth, NewLevelHeight, NewLevelLayers, NewLevelActiveLayer,
                                     NewLevelSet)),
      symbolsImage(loadEditorImage("resource/editor_symbols.bmp", 0)),
      cursorImage(loadEditorImage("resource/editor_cursor.bmp", 128)),
      grouperImage(loadEditorImage("resource/editor_grouper.bmp", 128)),
      viewboxImage(loadEditorImage("resource/editor_viewbox.bmp", 128))
{
    showHelp(0);
    screen = ModeTilePicker;
    autotileGrid = std::make_unique<BitGrid>(edited->width(), edited->height());
    objects = buildCatalogue();
    category = 0;
    item = 0;
    objectType = objects.begin()->second.begin()->second;
    clouds = std::make_unique<BackClouds>();
}

SystEditor::~SystEditor()
{
    clouds.reset();
    autotileGrid.reset();
    clearPreviews();
    edited.reset();
}

void SystEditor::clearPreviews()
{
    for (auto& [object, record] : placed)
        delete object;
    placed.clear();
}

void SystEditor::update()
{
    if (keyPressed(SDLK_ESCAPE)) {
        queueSystemKill(this);
        if (GameSystem* menu = newTitleMenu())
            queueSystemAdd(menu);
    }
    bool dragging = mouseButtonHeld(LeftButton) || mouseButtonHeld(RightButton);
    setFramesPerSecond(dragging ? DraggingFramesPerSecond : NormalFramesPerSecond);
    if (keyPressed(SDLK_F1))
        showHelp(screen);
    if (keyPressed(SDLK_SPACE))
        switchMode();

    switch (screen) {
    case ModeTilePicker: updatePicker(); break;
    case ModeRoom: updateRoom(); break;
    case ModeCatalogue: updateCatalogue(); break;
    case ModeViewPath: updateViewPath(); break;
    }

    functionKeys();
    ++frameCounter;
}

// Space toggles between the room editor and the tile picker; with Alt the catalogue, with
// Shift the view editor.
void SystEditor::switchMode()
{
    if (altHeld())
        screen = screen == ModeCatalogue ? ModeRoom : ModeCatalogue;
    else if (shiftHeld())
        screen = screen == ModeViewPath ? ModeRoom : ModeViewPath;
    else
        screen = screen == ModeRoom ? ModeTilePicker : ModeRoom;
}

void SystEditor::draw(SDL_Surface* target)
{
    drawOffsetX = 0;
    drawOffsetY = 0;
    switch (screen) {
    case ModeTilePicker: drawPicker(target); break;
    case ModeRoom: drawRoom(target); break;
    case ModeCatalogue: drawCatalogue(target); break;
    case ModeViewPath: drawViewPath(target); break;
    }
}
