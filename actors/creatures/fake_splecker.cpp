#include "actors/creatures/fake_splecker.h"

#include "actors/creatures/splecker.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"

Fake_Splecker::Fake_Splecker(i32 x, i32 y) : Physical(FlagScenery, x - 4, y - 8, 8, 12, -2)
{
    sheet = loadGraphic("resource/splecker.gif", true, 0, 255, 0, false);
    faceRight = randomSigned(1) == 0 ? 1 : 0;
    rootX = this->x - 4;
    rootY = this->y + 24;
}

void Fake_Splecker::takeRoot()
{
    rootSplecker(*this, rootY, neck);
}

void Fake_Splecker::draw(SDL_Surface* screen)
{
    drawSpleckerNeck(screen, sheet, rootX, rootY, neck, false);
    SDL_Rect cell = spleckerHeadCell(0);
    blitSurfaceExOffset(x - 4, y, sheet, screen, faceRight != 0, false, &cell, false, 0);
}
