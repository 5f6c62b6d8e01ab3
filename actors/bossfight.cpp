#include "actors/bossfight.h"

#include "actors/actor.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/systphysical.h"

#include <algorithm>

namespace {

constexpr i32 HalfViewWidth = 160;
constexpr i32 HalfViewHeight = 120;
constexpr i32 ArrivalReach = 16;  // players stop this close to the arena centre

constexpr i16 BarX = 229;
constexpr i32 BarHiddenY = -24;
constexpr u16 BarWidth = 91;
constexpr u16 BarHeight = 24;
constexpr i16 EmptyRow = 24;
constexpr i32 EmblemWidth = 14;  // always taken from the full row
constexpr float FillWidth = 65;
constexpr float FullFraction = 0.99f;
constexpr float BlinkFraction = 0.1f;
constexpr float EmptyFraction = 0.01f;
constexpr u32 BlinkFrameBit = 4;  // the low bar blinks white four frames, normal four
constexpr u32 White = 0xFFFFFFFF;

// The arena frames the editor shows around the centre.
constexpr i32 InnerHalfWidth = 144;
constexpr i32 InnerHalfHeight = 104;

void drawRectangleOffset(SDL_Surface* screen, i32 left, i32 top, i32 right, i32 bottom)
{
    drawLineOffset(left, top, right, top, White, screen);
    drawLineOffset(right, top, right, bottom, White, screen);
    drawLineOffset(right, bottom, left, bottom, White, screen);
    drawLineOffset(left, bottom, left, top, White, screen);
}

} // namespace

BossFight::BossFight(i32 x, i32 y) : Physical(FlagCameraFocus, x, y, 1, 1, -100)
{
    barSheet = loadGraphic("resource/boss-hpbar.gif", true, 0, 255, 0, false);
}

void BossFight::onAdd()
{
    added = 1;
    fadeOutMusic();
}

void BossFight::update()
{
    if (!started) {
        approach();
        if (cameraArrived())
            start();
        return;
    }
    barFraction = 0;
    if (!ended)
        fight();
    else
        finish();
}

// The players walk to the arena centre; every other creature but the bosses stands still.
void BossFight::approach()
{
    for (Physical* p = owner->firstOfType(FlagCharacter); owner->hasMoreOfType(); p = owner->nextOfType()) {
        Actor* actor = dynamic_cast<Actor*>(p);
        if (p->typeFlags & FlagPlayer) {
            const i32 centreX = p->x + p->w / 2;
            const i8 dir = centreX < x - ArrivalReach ? 1 : centreX > x + ArrivalReach ? -1 : 0;
            if (actor)
                actor->setControls(Controls(dir, false));
        } else if (!(p->typeFlags & FlagBoss) && actor) {
            actor->setControls(Controls());
        }
    }
}

bool BossFight::cameraArrived() const
{
    return owner->cameraX == x - HalfViewWidth && owner->cameraY == y - HalfViewHeight;
}

void BossFight::start()
{
    for (Boss* boss = owner->firstIn<Boss>(); owner->hasMoreInCategory(); boss = owner->nextIn<Boss>()) {
        if (boss)
            boss->activate();
    }
    for (Cued* cued = owner->firstIn<Cued>(); owner->hasMoreInCategory(); cued = owner->nextIn<Cued>()) {
        if (cued)
            cued->cueLock();
    }
    started = 1;
    playMusic(loadMusic("resource/acid.it"), -1);
}

void BossFight::fight()
{
    barY = std::min(barY + 1, 0);
    shakeTotal = 0;
    bool allFinished = true;
    int bosses = 0;
    for (Boss* boss = owner->firstIn<Boss>(); owner->hasMoreInCategory(); boss = owner->nextIn<Boss>()) {
        if (!boss)
            continue;
        barFraction += std::max(boss->healthFraction(), 0.0f);
        if (!boss->isFinished())
            allFinished = false;
        shakeTotal = u16(shakeTotal + boss->shakeAmount());
        ++bosses;
    }
    barFraction = bosses == 0 ? 0 : barFraction / bosses;
    const i32 shake = shakeTotal;
    owner->cameraX += randomRange(-shake, shake);
    owner->cameraY += randomRange(-shake, shake);
    if (allFinished) {
        for (Cued* cued = owner->firstIn<Cued>(); owner->hasMoreInCategory(); cued = owner->nextIn<Cued>()) {
            if (cued)
                cued->cueEscape();
        }
        ended = 1;
    }
}

void BossFight::finish()
{
    barY = std::max(barY - 1, BarHiddenY);
    --endTimer;
    if (endTimer == 0)
        removeSelf();
}

void BossFight::draw(SDL_Surface* screen)
{
    if (!added)
        drawArenaOutline(screen);
    else if (started)
        drawBar(screen);
}

void BossFight::drawBar(SDL_Surface* screen)
{
    const i16 top = i16(barY);
    SDL_Rect full{0, 0, BarWidth, BarHeight};
    SDL_Rect empty{0, EmptyRow, BarWidth, BarHeight};
    if (barFraction > FullFraction) {
        blitSurface(BarX, top, barSheet, screen, &full);
    } else if (barFraction <= BlinkFraction && (owner->frame() & BlinkFrameBit) == 0) {
        blitSurfaceEx(BarX, top, barSheet, screen, false, false, &full, true, White);
    } else if (barFraction <= EmptyFraction) {
        blitSurface(BarX, top, barSheet, screen, &empty);
    } else {
        const i32 filled = i32(barFraction * FillWidth);
        SDL_Rect fill{0, 0, u16(filled + EmblemWidth), BarHeight};
        SDL_Rect rest{i16(filled + EmblemWidth), EmptyRow, u16(BarWidth - EmblemWidth - filled), BarHeight};
        blitSurface(BarX, top, barSheet, screen, &fill);
        blitSurface(i16(BarX + EmblemWidth + filled), top, barSheet, screen, &rest);
    }
}

// The editor shows the safe area and the whole screen around the arena centre.
void BossFight::drawArenaOutline(SDL_Surface* screen)
{
    drawRectangleOffset(screen, x - InnerHalfWidth, y - InnerHalfHeight, x + InnerHalfWidth, y + InnerHalfHeight);
    drawRectangleOffset(screen, x - HalfViewWidth, y - HalfViewHeight, x + HalfViewWidth, y + HalfViewHeight);
}

namespace {

Physical* makeBossFight(const ObjectArgs& args)
{
    return new BossFight(args.x, args.y);
}

const ObjectRegistrar arenaPlacement(14, 14, makeBossFight);

} // namespace
