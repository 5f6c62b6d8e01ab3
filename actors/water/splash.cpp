#include "actors/water/splash.h"

#include "actors/water/water_particle.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/systphysical.h"

namespace {
constexpr u16 BigSize = 100;    // above this the big strip and sound
constexpr u16 SilentSize = 20;  // up to this no sound
constexpr u16 TinySize = 19;    // up to this gone after one frame
constexpr u8 StepFrames = 2;
constexpr u8 CellCount = 6;
constexpr u8 ThrowingCells = 3;  // droplets fly on the first three steps
} // namespace

Splash::Splash(i32 x, i32 y, u16 size)
    : Physical(0, x - 8, y - 16, 16, 16, -3), big(size > BigSize ? 1 : 0), size(size)
{
    sheet = loadGraphic(big ? "resource/splash.gif" : "resource/smallsplash.gif", true, 0, 255, 0, false);
    if (size > SilentSize)
        playSound(loadSound(big ? "resource/splash.wav" : "resource/wading.wav"), 0);
}

void Splash::update()
{
    if (size <= TinySize) {
        removeSelf();
        return;
    }
    --stepTimer;
    if (stepTimer != 0)
        return;
    stepTimer = StepFrames;
    if (cell < ThrowingCells)
        throwDroplets();
    ++cell;
    if (cell == CellCount)
        removeSelf();
}

void Splash::throwDroplets()
{
    const int count = big ? 7 : 4;
    for (int i = 0; i < count; ++i) {
        const i32 dropX = x + randomRange(6, 10);
        const i32 dropY = y + randomRange(14, 16);
        const i8 velX = i8(big ? randomRange(-2, 2) : randomRange(-1, 1));
        const i8 velY = i8(big ? randomRange(-4, -1) : randomRange(-2, -1));
        owner->add(new Water_Particle(dropX, dropY, velX, velY, Water_Particle::Drop));
    }
}

void Splash::draw(SDL_Surface* screen)
{
    SDL_Rect source{i16(cell * 16), 0, 16, 16};
    blitSurfaceOffset(x, y, sheet, screen, &source);
}
