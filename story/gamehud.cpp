#include "story/gamehud.h"

#include "core/draw.h"
#include "core/input.h"
#include "core/media.h"
#include "story/level_exit.h"
#include "world/systphysical.h"

namespace {

constexpr i32 HudDepth = -3000;  // drawn over every object of the level
constexpr u16 FullBar = 65;
constexpr i16 BarLeft = 27;
constexpr i16 HealthBarRow = 6;
constexpr i16 SecondBarRow = 17;
constexpr i16 HealthStripY = 40;
constexpr i16 SecondStripY = 51;
constexpr u16 BarHeight = 5;
constexpr u16 EscapeKey = 27;

Physical* makeHud()
{
    return new GameHUD();
}

// Every started level gets its display.
const bool hudRegistered = (setLevelHudMaker(makeHud), true);

} // namespace

u16 hudBarWidth(float fraction)
{
    // Fractions outside 0..1 (or not a number) must not wrap into a huge u16 width.
    if (!(fraction > 0.0f))
        return 0;
    if (fraction >= 1.0f)
        return FullBar;
    return u16(FullBar * fraction);
}

GameHUD::GameHUD() : Physical(0, 0, 0, 0, 0, HudDepth)
{
    image = loadGraphic("resource/hpbar.gif", true, 255, 255, 255, false);
}

void GameHUD::update()
{
    healthFraction = 0.0f;
    secondFraction = 0.0f;
    if (Physical* body = owner->firstOfType(FlagPlayer)) {
        if (Player* player = dynamic_cast<Player*>(body)) {
            healthFraction = player->healthFraction();
            secondFraction = player->secondBarFraction();
        }
    }
    if (keyPressed(EscapeKey))
        leaveLevel(owner);
}

void GameHUD::draw(SDL_Surface* screen)
{
    blitSurfaceRect(0, 0, image, screen, 0, 0, 100, 32);
    blitSurfaceRect(BarLeft, HealthBarRow, image, screen, BarLeft, HealthStripY, hudBarWidth(healthFraction),
                    BarHeight);
    blitSurfaceRect(BarLeft, SecondBarRow, image, screen, BarLeft, SecondStripY, hudBarWidth(secondFraction),
                    BarHeight);
}
