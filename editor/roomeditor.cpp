// The room editor: paints tiles, marks autotile cells and places objects in the level.
#include "editor/systeditor.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/message.h"
#include "editor/autotiler.h"
#include "editor/bitgrid.h"
#include "editor/editorinput.h"
#include "world/factory.h"
#include "world/level.h"
#include "world/objects/backclouds.h"
#include "world/physical.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace editor_keys;

namespace {

constexpr i32 TileSize = 16;
constexpr i32 ScrollStep = 8;
constexpr i32 QuickScrollFactor = 5;
constexpr i32 CursorHalf = 8;
constexpr u32 Black = 0;

// Both edges of the rectangle belong to it, so a click on an object's border still hits it.
bool rectHolds(const Physical& object, i32 px, i32 py)
{
    return object.x <= px && px <= object.x + object.w && object.y <= py && py <= object.y + object.h;
}

void drawBlackFrame(SDL_Surface* target, const Physical& object)
{
    drawRectOutlineOffset(target, object.x - 2, object.y - 2, object.w + 4, object.h + 4, Black);
}

} // namespace

void SystEditor::updateRoom()
{
    const i32 worldX = mouseX() + scrollX;
    const i32 worldY = mouseY() + scrollY;
    const i32 cellX = worldX / TileSize;
    const i32 cellY = worldY / TileSize;

    if (mouseButtonHeld(LeftButton) && !altHeld())
        paintOrMark(cellX, cellY);
    if (mouseButtonReleased(LeftButton) && altHeld())
        placeObject(worldX, worldY);
    if (mouseButtonHeld(RightButton))
        eraseOrDelete(cellX, cellY, worldX, worldY);

    if (keyPressed(SDLK_RETURN))
        autotile(*edited, *autotileGrid, paintLayer, groupX, groupY);
    if (keyPressed(SDLK_BACKSPACE))
        autotileGrid->clear();

    scrollRoom();
    paintLayer += i32(keyPressed(SDLK_PAGEUP)) - i32(keyPressed(SDLK_PAGEDOWN));
    paintLayer = std::min(std::max(paintLayer, 0), edited->layers() - 1);
    if (keyPressed(SDLK_END))
        allLayers = !allLayers;
    recallHotkeys();
}

void SystEditor::paintOrMark(i32 cellX, i32 cellY)
{
    if (shiftHeld())
        autotileGrid->set(cellX, cellY, true);
    else
        edited->setTile(cellX, cellY, paintLayer, tile);
}

void SystEditor::eraseOrDelete(i32 cellX, i32 cellY, i32 worldX, i32 worldY)
{
    if (shiftHeld())
        autotileGrid->set(cellX, cellY, false);
    else if (altHeld())
        deleteObjectsAt(worldX, worldY);
    else
        edited->setTile(cellX, cellY, paintLayer, 0);
}

// The object goes exactly where the mouse points; whatever snapping a type does is its own.
void SystEditor::placeObject(i32 worldX, i32 worldY)
{
    Physical* object = createObject(objectType, worldX, worldY);
    if (!object)
        return;
    placed[object] = edited->addObject(objectType, worldX, worldY);
}

void SystEditor::deleteObjectsAt(i32 worldX, i32 worldY)
{
    std::vector<Physical*> hit;
    for (const auto& [object, record] : placed) {
        if (rectHolds(*object, worldX, worldY))
            hit.push_back(object);
    }
    for (Physical* object : hit) {
        edited->removeObject(placed[object]);
        placed.erase(object);
        delete object;
    }
}

void SystEditor::scrollRoom()
{
    const i32 speed = keyHeld(SDLK_TAB) ? QuickScrollFactor : 1;
    const i32 h = i32(keyHeld(SDLK_RIGHT)) - i32(keyHeld(SDLK_LEFT));
    const i32 v = i32(keyHeld(SDLK_DOWN)) - i32(keyHeld(SDLK_UP));
    const i32 limitX = std::max(0, edited->width() * TileSize - ScreenWidth);
    const i32 limitY = std::max(0, edited->height() * TileSize - ScreenHeight);
    scrollX = std::min(std::max(scrollX + speed * ScrollStep * h, 0), limitX);
    scrollY = std::min(std::max(scrollY + speed * ScrollStep * v, 0), limitY);
}

void SystEditor::recallHotkeys()
{
    for (u8 n = 0; n < 10; ++n) {
        if (digitPressed(n))
            tile = hotkeys[n];
    }
}

void SystEditor::drawRoom(SDL_Surface* target)
{
    if (ctrlHeld()) {
        SDL_FillRect(target, &target->clip_rect, Black);
        edited->drawKindsLayer(-scrollX, -scrollY, target, u8(paintLayer), symbolsImage);
    } else {
        drawOffsetX = -scrollX;
        drawOffsetY = -scrollY;
        clouds->draw(target);
        // With the other layers hidden they still flash up for 10 frames of every 30.
        if (!allLayers && frameCounter % 30 > 9)
            edited->drawLayer(-scrollX, -scrollY, target, u8(paintLayer));
        else
            edited->draw(-scrollX, -scrollY, target);
        drawPreviews(target);
        drawOffsetX = 0;
        drawOffsetY = 0;
    }
    autotileGrid->draw(target, -scrollX, -scrollY, cursorImage, TileSize, TileSize);
    drawRoomCursor(target);
    drawStatus(target);
}

void SystEditor::drawPreviews(SDL_Surface* target)
{
    for (const auto& [object, record] : placed) {
        if (frameCounter % 32 < 4)
            drawBlackFrame(target, *object);
        object->draw(target);
    }
}

void SystEditor::drawRoomCursor(SDL_Surface* target)
{
    const i32 mx = mouseX(), my = mouseY();
    const i16 cx = i16(mx - CursorHalf), cy = i16(my - CursorHalf);
    if (shiftHeld()) {
        blitSurface(cx, cy, cursorImage, target, nullptr);
    } else if (altHeld()) {
        if (mouseButtonHeld(RightButton) && !mouseButtonHeld(LeftButton))
            blitSurface(cx, cy, cursorImage, target, nullptr);
        else
            drawObjectPreview(target, objectType, mx + scrollX, my + scrollY);
    } else {
        SDL_Rect source = Level::tileSourceRect(Tile(tile));
        blitSurface(cx, cy, edited->tileset(), target, &source);
        if (frameCounter % 20 < 10)
            blitSurface(cx, cy, cursorImage, target, nullptr);
    }
}

// The object to be placed, made for this one frame and blinking its frame.
void SystEditor::drawObjectPreview(SDL_Surface* target, u16 type, i32 worldX, i32 worldY)
{
    Physical* object = createObject(type, worldX, worldY);
    if (!object)
        return;
    drawOffsetX = -scrollX;
    drawOffsetY = -scrollY;
    if (frameCounter % 16 < 4)
        drawBlackFrame(target, *object);
    object->draw(target);
    drawOffsetX = 0;
    drawOffsetY = 0;
    delete object;
}

void SystEditor::drawStatus(SDL_Surface* target)
{
    std::string status = "CURRENT LAYER ";
    status += paintLayer == edited->activeLayer() ? "(ACTIVE): " : "(INACTIVE): ";
    status += std::to_string(paintLayer) + "\n";
    drawText(0, 230, status, 0, 0, target);
}
