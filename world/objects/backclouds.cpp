#include "world/objects/backclouds.h"

#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/levelrunner.h"

namespace {

constexpr i32 ScreenW = 320;
constexpr i32 ScreenH = 240;
// Parallax: a layer moves by the camera's motion divided by its divisor.
constexpr i32 LayerDivisors[BackClouds::LayerCount] = {6, 3, 2};

Physical* makeSky()
{
    return new BackClouds();
}
// Every level runs under the clouds.
const LevelPartMaker skyHook = setLevelBackdropMaker(makeSky);

} // namespace

BackClouds::BackClouds() : Background(FlagScenery, randomSigned(1000), 0, 0, 0, 1000)
{
    layers[0] = loadGraphic("resource/clouds_1.gif", false, 0, 0, 0, false);
    layers[1] = loadGraphic("resource/clouds_2.gif", true, 0, 255, 0, true);
    layers[2] = loadGraphic("resource/clouds_3.gif", true, 0, 255, 0, true);
}

void BackClouds::update()
{
    x += speed;
}

void BackClouds::draw(SDL_Surface* screen)
{
    for (int k = 0; k < LayerCount; ++k)
        drawLayer(screen, layers[k], LayerDivisors[k]);
}

// Tiles one screen-sized layer; the first copy starts a whole screen left of and above the
// layer's phase, so the copies cover the screen whichever way the remainder falls.
void BackClouds::drawLayer(SDL_Surface* screen, SDL_Surface* layer, i32 divisor) const
{
    const i32 startX = ((drawOffsetX + x) / divisor) % ScreenW - ScreenW;
    const i32 startY = (drawOffsetY / divisor) % ScreenH - ScreenH;
    for (i32 sy = startY; sy < ScreenH; sy += ScreenH)
        for (i32 sx = startX; sx < ScreenW; sx += ScreenW)
            blitSurface(i16(sx), i16(sy), layer, screen, nullptr);
}
