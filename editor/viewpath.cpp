// The view editor: walks a view box along the level's camera path over a mini-map, grows the
// path at its end, moves its start point, and cuts it.
#include "editor/systeditor.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/media.h"
#include "core/message.h"
#include "editor/editorinput.h"
#include "world/level.h"

#include <algorithm>
#include <string>

using namespace editor_keys;

namespace {

constexpr i32 TileSize = 16;
constexpr i32 WalkFramesPerUpdate = 16;
constexpr i32 GrowFramesPerUpdate = 8;
constexpr i32 StartMovesPerUpdate = 8;
// The mini-map keeps the view box near the middle of the screen.
constexpr i32 MapCentreX = 160;
constexpr i32 MapCentreY = 120;
constexpr i32 BoxWidth = ScreenWidth / TileSize;
constexpr i32 BoxHeight = ScreenHeight / TileSize;
constexpr u32 MapBackground = 0xFF777777;
constexpr u32 StartColour = 0xFFFF0000;
constexpr u32 EndColour = 0xFF00FF00;

// Both WASD and the European ZQSD layout steer.
i32 steerX()
{
    return i32(keyHeld(SDLK_d)) - i32(keyHeld(SDLK_a) || keyHeld(SDLK_q));
}

i32 steerY()
{
    return i32(keyHeld(SDLK_s)) - i32(keyHeld(SDLK_w) || keyHeld(SDLK_z));
}

// A move by `step` from `from` stays within 0..limit, judged only in the move's direction.
bool moveStays(i32 from, i32 step, i32 limit)
{
    return step < 0 ? from + step >= 0 : from + step <= limit;
}

bool moveLeaves(i32 from, i32 step, i32 limit)
{
    return (step < 0 && from + step < 0) || (step > 0 && from + step > limit);
}

} // namespace

i32 SystEditor::cameraLimitX() const
{
    return edited->width() * TileSize - ScreenWidth;
}

i32 SystEditor::cameraLimitY() const
{
    return edited->height() * TileSize - ScreenHeight;
}

void SystEditor::updateViewPath()
{
    if (keyHeld(SDLK_LEFT) && pathFrame != 0)
        stepBack(WalkFramesPerUpdate);
    if (keyHeld(SDLK_RIGHT) && pathFrame < pathLength)
        stepForward(WalkFramesPerUpdate);

    // Ctrl holds the steering back, so that two keys can be pressed and set off together.
    const i32 h = steerX(), v = steerY();
    if (!ctrlHeld() && (h != 0 || v != 0)) {
        const bool atEnd = pathFrame == pathLength;
        if (atEnd && moveStays(boxWorldX, h, cameraLimitX()) && moveStays(boxWorldY, v, cameraLimitY()))
            extendPath(h, v);
        else if (pathFrame == 0)
            moveStart(h, v);
    }

    if (keyPressed(SDLK_RETURN)) {
        edited->truncatePan(u32(pathFrame));
        pathLength = pathFrame;
    }
    if (keyHeld(SDLK_BACKSPACE) && pathFrame == pathLength && pathFrame != 0) {
        stepBack(WalkFramesPerUpdate);
        edited->truncatePan(u32(pathFrame));
        pathLength = pathFrame;
    }
}

void SystEditor::stepBack(i32 frames)
{
    for (i32 i = 0; i < frames && pathFrame > 0; ++i) {
        --pathFrame;
        boxWorldX -= edited->panDX(u32(pathFrame));
        boxWorldY -= edited->panDY(u32(pathFrame));
    }
}

void SystEditor::stepForward(i32 frames)
{
    for (i32 i = 0; i < frames && pathFrame < pathLength; ++i) {
        boxWorldX += edited->panDX(u32(pathFrame));
        boxWorldY += edited->panDY(u32(pathFrame));
        ++pathFrame;
    }
}

// A new direction is stored where the box stands (a step already stored there stays), then the
// path grows by the step in force until it would leave the level.
void SystEditor::extendPath(i32 h, i32 v)
{
    const u32 at = u32(pathFrame);
    if (h != edited->panDX(at) || v != edited->panDY(at))
        edited->addPanStep(at, i8(h), i8(v));
    for (i32 i = 0; i < GrowFramesPerUpdate; ++i) {
        const i32 sx = edited->panDX(u32(pathFrame));
        const i32 sy = edited->panDY(u32(pathFrame));
        if (moveLeaves(boxWorldX, sx, cameraLimitX()) || moveLeaves(boxWorldY, sy, cameraLimitY()))
            break;
        boxWorldX += sx;
        boxWorldY += sy;
        ++pathFrame;
        ++pathLength;
    }
}

void SystEditor::moveStart(i32 h, i32 v)
{
    for (i32 i = 0; i < StartMovesPerUpdate; ++i) {
        boxWorldX = std::max(std::min(boxWorldX + h, cameraLimitX()), 0);
        boxWorldY = std::max(std::min(boxWorldY + v, cameraLimitY()), 0);
    }
    edited->setStartCamera(u32(boxWorldX), u32(boxWorldY));
}

void SystEditor::drawViewPath(SDL_Surface* target)
{
    SDL_FillRect(target, &target->clip_rect, MapBackground);
    const i32 mapScrollX = std::max(std::min(boxWorldX / TileSize - MapCentreX, edited->width() - ScreenWidth), 0);
    const i32 mapScrollY =
        std::max(std::min(boxWorldY / TileSize - MapCentreY, edited->height() - ScreenHeight), 0);

    edited->drawMiniMap(-mapScrollX, -mapScrollY, target, true);

    const i16 boxX = i16(boxWorldX / TileSize - mapScrollX);
    const i16 boxY = i16(boxWorldY / TileSize - mapScrollY);
    // The start blinks red, the end green; an empty path is both and shows red.
    if (frameCounter % 20 < 10 && (pathFrame == 0 || pathFrame == pathLength))
        fillRect(target, boxX, boxY, BoxWidth, BoxHeight, pathFrame == 0 ? StartColour : EndColour);
    blitSurface(boxX, boxY, viewboxImage, target, nullptr);
    std::string caption = std::to_string(pathFrame) + "/" + std::to_string(pathLength) + "\n" +
                          std::to_string(boxWorldX) + "," + std::to_string(boxWorldY);
    drawText(boxX, i16(boxY + TileSize), caption, 0, 0, target);
}
