// The tile picker: the level's tile set, with the tile to paint, the hotkeys, the tile kinds and
// the autotile group.
#include "editor/systeditor.h"

#include "core/draw.h"
#include "core/message.h"
#include "editor/editorinput.h"
#include "world/level.h"

#include <algorithm>
#include <string>

using namespace editor_keys;

namespace {

constexpr i32 TileSize = 16;
// Rows 0 to 14 of the set show at their own places; the last row is folded into a 4x4 panel
// at the right of the screen.
constexpr i32 MainAreaWidth = 256;
constexpr i32 MainAreaRows = 15;
constexpr i32 PanelX = 256;
constexpr i32 PanelCells = 4;
constexpr u8 FirstPanelTile = 240;
constexpr u8 KindCount = 6;
constexpr u8 LastGroupCorner = 11;
constexpr u32 PickerBackground = 0x0000FF00;
constexpr i32 CursorHalf = 8;

// The tile shown at a screen point; 0 (nothing to pick) off the tiles.
u8 tileAtScreen(i32 mx, i32 my)
{
    if (mx < MainAreaWidth)
        return u8((my / TileSize) * 16 + mx / TileSize);
    if (my < PanelCells * TileSize)
        return u8(FirstPanelTile + PanelCells * (my / TileSize) + (mx - PanelX) / TileSize);
    return 0;
}

// Where a tile shows on the picker screen.
void tileScreenPlace(u8 tile, i16* x, i16* y)
{
    if (tile < FirstPanelTile) {
        *x = i16((tile & 15) * TileSize);
        *y = i16((tile >> 4) * TileSize);
    } else {
        u8 cell = u8(tile - FirstPanelTile);
        *x = i16(PanelX + (cell % PanelCells) * TileSize);
        *y = i16((cell / PanelCells) * TileSize);
    }
}

// Kinds cycle 1, 2, 3, 4, 5, 1; the empty kind is never chosen here.
u8 nextKind(u8 kind)
{
    u8 next = u8((kind + 1) % KindCount);
    return next == 0 ? 1 : next;
}

} // namespace

void SystEditor::updatePicker()
{
    const i32 mx = mouseX(), my = mouseY();
    const u8 pointed = tileAtScreen(mx, my);
    if (overlayFrames > 0)
        --overlayFrames;
    if (mouseButtonHeld(LeftButton) && !ctrlHeld() && pointed != 0 && pointed != tile) {
        tile = pointed;
        boxX = mx & ~15;
        boxY = my & ~15;
    }
    if (mouseButtonHeld(LeftButton) && ctrlHeld() && mouseButtonPressed(LeftButton) && pointed != 0)
        edited->setKind(Tile(pointed), nextKind(edited->kind(Tile(pointed))));
    if (mouseButtonPressed(RightButton)) {
        groupPicked = true;
        if (pointed != 0) {
            groupX = std::min(Tile(pointed).column(), LastGroupCorner);
            groupY = std::min(Tile(pointed).row(), LastGroupCorner);
        }
    }
    // The overlay stays while Ctrl is held and for the frame after.
    if (ctrlHeld())
        overlayFrames = 2;
    storeHotkeys();
}

void SystEditor::storeHotkeys()
{
    for (u8 n = 0; n < 10; ++n) {
        if (digitPressed(n))
            hotkeys[n] = tile;
    }
}

void SystEditor::drawPicker(SDL_Surface* target)
{
    if (overlayFrames < 1)
        drawTileSet(target);
    else
        drawKindIcons(target);
    // The selection box and the group frame blink in turn.
    if (frameCounter % 20 < 10)
        blitSurface(i16(boxX), i16(boxY), cursorImage, target, nullptr);
    else if (groupPicked)
        blitSurface(i16(groupX * TileSize), i16(groupY * TileSize), grouperImage, target, nullptr);
    blitSurfaceEx(i16(mouseX() - CursorHalf), i16(mouseY() - CursorHalf), cursorImage, target, false, true,
                  nullptr, false, 0);
}

void SystEditor::drawTileSet(SDL_Surface* target)
{
    SDL_FillRect(target, &target->clip_rect, PickerBackground);
    SDL_Surface* set = edited->tileset();
    blitSurfaceRect(0, 0, set, target, 0, 0, MainAreaWidth, MainAreaRows * TileSize);
    for (i16 r = 0; r < PanelCells; ++r)
        blitSurfaceRect(PanelX, i16(TileSize * r), set, target, i16(PanelCells * TileSize * r),
                        MainAreaRows * TileSize, PanelCells * TileSize, TileSize);
    for (int t = 0; t < 256; ++t) {
        i16 x, y;
        tileScreenPlace(u8(t), &x, &y);
        for (u8 n = 0; n < 10; ++n) {
            if (hotkeys[n] == t)
                drawText(x, y, std::to_string(n), 0, 0, target);
        }
    }
}

void SystEditor::drawKindIcons(SDL_Surface* target)
{
    SDL_FillRect(target, &target->clip_rect, 0);
    for (int t = 0; t < 256; ++t) {
        i16 x, y;
        tileScreenPlace(u8(t), &x, &y);
        blitSurfaceRect(x, y, symbolsImage, target, i16(edited->kind(Tile(u8(t))) * TileSize), 0, TileSize,
                        TileSize);
    }
}
