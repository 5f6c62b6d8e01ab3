#include "editor/catalogue.h"

namespace {

constexpr i32 FirstLineTop = 10;
constexpr i32 LineHeight = 10;

} // namespace

Catalogue buildCatalogue()
{
    Catalogue c;
    c["Bad guys"] = {{"Dummy", 5},      {"Floating Turret", 7}, {"Ikan Foot Soldier", 1},
                     {"Splecker", 12},  {"Springfoot", 8},      {"Wallspitter", 9}};
    c["Boss Fights"] = {{"::BOSS BATTLE", 14}, {":Crushfoot", 13},   {"Corpse Sinker", 31},
                        {"Escape Pillar", 19}, {"Lock-In Pillar", 18}};
    c["Demo"] = {{"# ENDING", 32},       {"1: motion", 33001},   {"2: shooting", 33002},
                 {"3: stones", 33003},   {"4: enemies", 33004},  {"5: splecker", 33005},
                 {"6: boss-warn", 33006}};
    c["Good Guys"] = {{"Dahlia", 0},          {"Dahlia [sitting]", 34}, {"Multiplayer #1", 20},
                      {"Multiplayer #2", 21}, {"Multiplayer #3", 22},   {"Multiplayer #4", 23},
                      {"Multiplayer #5", 24}, {"Ostrevanian Gunner", 2}, {"Play-Crushfoot", 15}};
    c["Scenery"] = {{">>LOOPER<<", 30},    {"Bird", 28},          {"Land Mine", 10},
                    {"Pillar", 16},        {"Pillar (wall)", 17}, {"Stone (falls)", 6},
                    {"Stone (stays)", 11}, {"Water - 128x32", 33}, {"Water - 64x16", 4}};
    return c;
}

i32 catalogueLineAt(i32 mouseY, size_t count)
{
    if (mouseY <= FirstLineTop)
        return -1;
    i32 row = mouseY - FirstLineTop;
    if (size_t(row / LineHeight) >= count)
        return -1;
    // Each line owns the rows (10k, 10k + 10]: its top pixel row belongs to the line above.
    return row <= LineHeight ? 0 : (row - 1) / LineHeight;
}

i32 catalogueHoverLine(i32 mouseY, size_t count)
{
    for (size_t k = 0; k < count; ++k) {
        i32 top = FirstLineTop + LineHeight * i32(k);
        if (mouseY > top && mouseY < top + LineHeight)
            return i32(k);
    }
    return -1;
}
