// The level compiler's source reader on any text: whatever it accepts keeps every drawn layer
// below its layer count and compiles to a level that loads again with, in every cell, the tile
// that the source's legend gives the cell's map character.
#include "fuzz/fuzz_support.h"
#include "tools/levelc/levelsource.h"
#include "world/level.h"

#include <array>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Sizes above this are only read, not compiled: each run must stay quick.
constexpr u64 CompiledTileLimit = 1 << 16;

// What an accepted source says, read plainly and apart from the compiler: its last size line's
// layer count, its tile lines, and its map lines (in an accepted source exactly the lines that
// start with '|'), each belonging to the layer line above it.
struct PlainReading {
    int layers = 0;
    // The tile of every map character; NoTile for a character without one.
    std::array<int, 256> legend;
    std::map<int, std::vector<std::string>> maps;
};

constexpr int NoTile = -1;

PlainReading readPlainly(const std::string& text)
{
    PlainReading plain;
    plain.legend.fill(NoTile);
    plain.legend[u8('.')] = 0;
    std::istringstream lines(text);
    std::string line;
    int layer = -1;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '|') {
            plain.maps[layer].push_back(line.substr(1, line.size() - 2));
            continue;
        }
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word, symbol;
        int column, row;
        words >> word;
        if (word == "size")
            words >> column >> row >> plain.layers;
        else if (word == "tile" && words >> symbol >> column >> row)
            plain.legend[u8(symbol[0])] = row * 16 + column;
        else if (word == "layer")
            words >> layer;
    }
    return plain;
}

// Every cell of a drawn layer holds the tile that the source's legend gives its map character,
// every cell of a layer that the source does not draw tile 0.
void requireSourceTiles(const PlainReading& plain, const Level& level, i32 layer)
{
    auto map = plain.maps.find(layer);
    for (i32 x = 0; x < level.width(); ++x)
        for (i32 y = 0; y < level.height(); ++y) {
            int tile = map == plain.maps.end() ? 0 : plain.legend[u8(map->second[size_t(y)][size_t(x)])];
            require(tile != NoTile, "every map character has a tile");
            require(level.tileAt(x, y, layer) == tile,
                    "every tile is the one the source's legend gives its map character");
        }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzTarget();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    LevelSource src;
    std::string error;
    if (!parseLevelSource(in, "fuzz.txt", src, error)) {
        require(!error.empty(), "a refusal says why");
        return 0;
    }
    const PlainReading plain = readPlainly(text);
    require(plain.layers == src.layers, "the layer count is the last size line's");
    for (const auto& [layer, rows] : plain.maps) {
        require(layer >= 0 && layer < plain.layers, "a layer at or above the layer count is refused");
        require(rows.size() == size_t(src.rows), "a layer has a map line for every row");
        for (const std::string& row : rows)
            require(row.size() == size_t(src.columns), "a map line has a character for every column");
    }
    if (u64(src.columns) * u64(src.rows) * u64(src.layers) > CompiledTileLimit)
        return 0;
    Level level(u16(src.columns), u16(src.rows), u8(src.layers), u8(src.active), src.set);
    compileLevelSource(src, level);
    require(level.save("out.lvl"), "a compiled level saves");
    Level again("out.lvl");
    require(!again.loadFailed(), "a compiled level loads");
    require(again.width() == src.columns && again.height() == src.rows, "a compiled level keeps its size");
    for (i32 layer = 0; layer < src.layers; ++layer)
        requireSourceTiles(plain, again, layer);
    return 0;
}
