#include "story/mg_sand.h"

#include "core/draw.h"
#include "core/input.h"
#include "core/random.h"

namespace {

constexpr u8 LeftButton = 1;
constexpr u32 Black = 0xFF000000u;

} // namespace

MG_Sand::MG_Sand() : GameSystem(0), cells(size_t(width) * height, Background)
{
    materials[0] = {0xFF60D0F0u, 0x03, 10, 0, 0};
    materials[1] = {0xFF2050A0u, 0x03, 50, 0, 0};
    materials[2] = {0xFF808020u, 0x01, 100, 0, 0};
    materials[3] = {0xFF505050u, 0x00, 150, 0, 0};
    materials[4] = {0xFF707070u, 0x02, 120, 0, 0};
    for (i32 x = 0; x < width; ++x) {
        for (i32 y : {0, 1, height - 2, height - 1})
            setCell(x, y, Wall);
    }
    for (i32 y = 1; y < height - 1; ++y) {
        for (i32 x : {0, 1, width - 2, width - 1})
            setCell(x, y, Wall);
    }
}

bool MG_Sand::inGrid(i32 x, i32 y) const
{
    return x >= 0 && y >= 0 && x < width && y < height;
}

u8 MG_Sand::cellAt(i32 x, i32 y) const
{
    return inGrid(x, y) ? cells[size_t(y) * width + size_t(x)] : u8(Background);
}

void MG_Sand::setCell(i32 x, i32 y, u8 material)
{
    if (inGrid(x, y))
        cells[size_t(y) * width + size_t(x)] = material;
}

bool MG_Sand::isLoose(u8 material) const
{
    return (materials[material].flags & MaterialLoose) == MaterialLoose;
}

// Material moved off the grid is lost: its cell takes what lies outside, nothing is written there.
void MG_Sand::swapCells(i32 x, i32 y, i32 tx, i32 ty)
{
    u8 a = cellAt(x, y);
    setCell(x, y, cellAt(tx, ty));
    setCell(tx, ty, a);
}

bool MG_Sand::tryMove(i32 x, i32 y, i32 tx, i32 ty)
{
    u8 m = cellAt(x, y);
    u8 other = cellAt(tx, ty);
    if (other == m || !isLoose(other) || materials[m].density <= materials[other].density)
        return false;
    swapCells(x, y, tx, ty);
    return true;
}

void MG_Sand::stepCell(i32 x, i32 y)
{
    const Material& m = materials[cellAt(x, y)];
    if (m.transformChance != 0 && randomSigned(255) < m.transformChance) {
        setCell(x, y, m.transformTarget);
        return;
    }
    if (!isLoose(cellAt(x, y)))
        return;
    if (tryMove(x, y, x, y + 1))
        return;
    if (!tryMove(x, y, x + parity, y))
        tryMove(x, y, x - parity, y);
}

void MG_Sand::pour(i32 cx, i32 cy)
{
    for (i32 y = cy - 3; y <= cy + 2; ++y) {
        for (i32 x = cx - 3; x <= cx + 2; ++x)
            setCell(x, y, Poured);
    }
}

void MG_Sand::update()
{
    parity = u8(1 - parity);
    if (mouseButtonHeld(LeftButton))
        pour(mouseX(), mouseY());
    // Half the cells a frame, picked at random and moved in place.
    const i32 steps = i32(width) * height / 2;
    for (i32 i = 0; i < steps; ++i) {
        i32 x = randomRange(0, width - 1);
        i32 y = randomRange(0, height - 1);
        stepCell(x, y);
    }
}

void MG_Sand::draw(SDL_Surface* target)
{
    if (SDL_LockSurface(target) == 0) {
        for (i32 y = 0; y < height; ++y) {
            for (i32 x = 0; x < width; ++x)
                putPixel(target, u32(x), u32(y), materials[cellAt(x, y)].colour);
        }
        SDL_UnlockSurface(target);
    }
    fillRect(target, 120, 0, 120, 240, Black);
}
