#pragma once
#include "core/types.h"

#include <istream>
#include <map>
#include <string>
#include <vector>

class Level;

// A level source as a level designer writes it (the directives are listed in levelc.cpp).
struct LevelSource {
    std::string set;
    int columns = 0, rows = 0, layers = 0, active = 0;
    u32 startX = 0, startY = 0;
    bool pan = false;
    std::vector<std::string> kinds;
    std::map<char, u8> legend = {{'.', 0}};
    std::map<int, std::vector<std::string>> maps;
    struct Placement {
        u16 id;
        i32 x, y;
    };
    std::vector<Placement> objects;
    struct Step {
        u32 frame;
        int dx, dy;
    };
    std::vector<Step> steps;
};

// More tiles than this are refused: the game must hold the map and the whole file in memory at
// once. The editor's largest level (500 x 500 screens, 3 layers) has 225 million.
constexpr u64 MaxSourceTiles = u64(1) << 28;

// Text from a source or a command line as a message can show it: a byte that does not print (a NUL,
// a control character such as the escape that starts a terminal sequence, a byte of a multi-byte
// letter) by its code, "\x1b", so nothing cuts the message short or reaches the terminal raw. A
// backslash is shown as "\x5c" too, so two different texts never read the same.
std::string shownText(const std::string& text);

// Reads a whole source. False at the first fault, with "NAME:LINE: what is wrong" in error.
// Whatever it accepts compiles to a level that the game loads.
bool parseLevelSource(std::istream& in, const std::string& name, LevelSource& src, std::string& error);

// Fills a new level of the source's size and set with everything else the source gives.
void compileLevelSource(const LevelSource& src, Level& level);
