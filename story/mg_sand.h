#pragma once
#include "core/gamesystem.h"
#include "core/types.h"

#include <array>
#include <vector>

// A falling-sand toy: a walled grid of material cells drawn one pixel per cell in the top-left
// corner. Holding the first mouse button pours material that sinks through the background and
// spreads sideways. Nothing in the game opens it.
class MG_Sand : public GameSystem {
public:
    struct Material {
        u32 colour;
        u8 flags;            // moves, and can be pushed aside, only with both MaterialLoose bits
        u8 density;          // a material sinks through a lighter one
        u8 transformTarget;  // what the cell may turn into
        u8 transformChance;  // out of 256 each time the cell is picked; 0 never
    };
    static constexpr u8 MaterialLoose = 0x03;
    // The material ids that are placed.
    enum MaterialId : u8 {
        Background = 0,  // fills the box; also what lies outside the grid
        Poured = 1,      // what the mouse pours
        Wall = 3,        // the box, two cells thick
    };

    MG_Sand();

    void update() override;
    void draw(SDL_Surface* target) override;

    // Material of a cell; outside the grid reads as Background.
    u8 cellAt(i32 x, i32 y) const;
    void setCell(i32 x, i32 y, u8 material);
    // One random cell's turn: transform, fall or spread.
    void stepCell(i32 x, i32 y);

    u16 width = 120;
    u16 height = 120;
    std::vector<u8> cells;  // row by row
    std::array<Material, 256> materials{};
    u8 parity = 0;  // 1 on the frames in which material spreads sideways

private:
    bool inGrid(i32 x, i32 y) const;
    bool isLoose(u8 material) const;
    // True when the material at (x, y) moves into (tx, ty): a different, loose, lighter material.
    bool tryMove(i32 x, i32 y, i32 tx, i32 ty);
    void swapCells(i32 x, i32 y, i32 tx, i32 ty);
    void pour(i32 cx, i32 cy);
};
