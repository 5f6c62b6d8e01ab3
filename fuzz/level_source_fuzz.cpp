// The level compiler's source reader on any text, and on a well-formed source built from the same
// bytes, which it must accept. Whatever it accepts keeps every drawn layer below its layer count
// and compiles to a level that loads again with everything the source says: in every cell the
// tile that the legend gives the cell's map character, the kinds table, the start camera, the
// camera mode with its pan steps, and the objects in source order.
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
// layer count, its tile lines, its map lines (in an accepted source exactly the lines that start
// with '|'), each belonging to the layer line above it, the sixteen lines after "kinds", the
// last start and camera lines, and every pan and object line.
struct PlainReading {
    int layers = 0;
    // The tile of every map character; NoTile for a character without one.
    std::array<int, 256> legend;
    std::map<int, std::vector<std::string>> maps;
    // One line of digits per tileset row, one digit per column.
    std::vector<std::string> kinds;
    i64 startX = 0, startY = 0;
    bool pan = false;
    struct Step {
        int dx, dy;
    };
    std::map<u32, Step> steps;
    struct Placement {
        std::string name;
        i32 x, y;
    };
    std::vector<Placement> objects;
};

constexpr int NoTile = -1;
constexpr int KindLines = 16;

// A few of the object names with the type id the game gives them; the well-formed sources place
// only these.
struct KnownObject {
    const char* name;
    u16 type;
};
constexpr std::array<KnownObject, 4> KnownObjects = {
    {{"Dahlia", 0}, {"Dummy", 5}, {"Looper", 30}, {"Tutorial_Motion", 33001}}};

bool nextLine(std::istream& lines, std::string& line)
{
    if (!std::getline(lines, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

PlainReading readPlainly(const std::string& text)
{
    PlainReading plain;
    plain.legend.fill(NoTile);
    plain.legend[u8('.')] = 0;
    std::istringstream lines(text);
    std::string line;
    int layer = -1;
    while (nextLine(lines, line)) {
        if (!line.empty() && line[0] == '|') {
            plain.maps[layer].push_back(line.substr(1, line.size() - 2));
            continue;
        }
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word, symbol;
        int column, row;
        i64 frame;
        PlainReading::Step step;
        PlainReading::Placement placement;
        words >> word;
        if (word == "size")
            words >> column >> row >> plain.layers;
        else if (word == "tile" && words >> symbol >> column >> row)
            plain.legend[u8(symbol[0])] = row * 16 + column;
        else if (word == "layer")
            words >> layer;
        else if (word == "start")
            words >> plain.startX >> plain.startY;
        else if (word == "camera")
            plain.pan = words >> word && word == "pan";
        else if (word == "pan" && words >> frame >> step.dx >> step.dy)
            plain.steps[u32(frame)] = step;
        else if (word == "object" && words >> placement.name >> placement.x >> placement.y)
            plain.objects.push_back(placement);
        else if (word == "kinds")
            for (int r = 0; r < KindLines && nextLine(lines, line); ++r)
                plain.kinds.push_back(line.substr(0, 16));
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

void requireSourceKinds(const PlainReading& plain, const Level& level)
{
    require(plain.kinds.size() == KindLines, "an accepted source has sixteen lines of kinds");
    for (u8 row = 0; row < KindLines; ++row)
        for (u8 column = 0; column < 16; ++column)
            require(level.kind(Tile(column, row)) == plain.kinds[row][column] - '0',
                    "every tile value has the kind its row's line gives in its column");
}

// A following camera keeps no path in the file; a panning one the source's steps, or without
// any the one still step of a new level.
void requireSourceCamera(const PlainReading& plain, const Level& level)
{
    require(level.startCameraX() == plain.startX && level.startCameraY() == plain.startY,
            "the start camera is the last start line's");
    require(level.cameraMode() == (plain.pan ? CameraPan : CameraFollow), "the camera mode is the last camera line's");
    if (!plain.pan) {
        require(level.panStepCount() == 0, "a following camera has no pan path");
        return;
    }
    std::map<u32, PlainReading::Step> steps = plain.steps;
    if (steps.empty())
        steps[0] = {0, 0};
    require(level.panStepCount() == steps.size(), "the pan path has exactly the source's steps");
    for (const auto& [frame, step] : steps) {
        const PanStep stored = level.panStepAt(frame);
        require(stored.dx8 == step.dx * 8 && stored.dy8 == step.dy * 8, "every pan step moves as its line says");
    }
}

// The compiler's own name table stays its own: an object's type is checked against the few
// known names, and otherwise only for being the same for the same name and another for another.
void requireSourceObjects(const PlainReading& plain, const Level& level)
{
    std::vector<LevelObject*> objects;
    level.allObjects(objects);
    require(objects.size() == plain.objects.size(), "every object line places one object");
    std::map<std::string, u16> typeOfName;
    std::map<u16, std::string> nameOfType;
    for (const KnownObject& known : KnownObjects) {
        typeOfName[known.name] = known.type;
        nameOfType[known.type] = known.name;
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        const PlainReading::Placement& placed = plain.objects[i];
        require(objects[i]->x == placed.x && objects[i]->y == placed.y, "the objects stand where their lines say, in order");
        require(typeOfName.emplace(placed.name, objects[i]->type).first->second == objects[i]->type
                    && nameOfType.emplace(objects[i]->type, placed.name).first->second == placed.name,
                "every object name stands for its own type");
    }
}

void requireCompiledSource(const PlainReading& plain, const LevelSource& src)
{
    Level level(u16(src.columns), u16(src.rows), u8(src.layers), u8(src.active), src.set);
    compileLevelSource(src, level);
    require(level.save("out.lvl"), "a compiled level saves");
    Level again("out.lvl");
    require(!again.loadFailed(), "a compiled level loads");
    require(again.width() == src.columns && again.height() == src.rows, "a compiled level keeps its size");
    for (i32 layer = 0; layer < src.layers; ++layer)
        requireSourceTiles(plain, again, layer);
    requireSourceKinds(plain, again);
    requireSourceCamera(plain, again);
    requireSourceObjects(plain, again);
}

enum class Refusal : u8 {
    Allowed,   // any text: a refusal only has to say why
    Forbidden  // a well-formed source: a refusal is the compiler's fault
};

void checkSource(const std::string& text, Refusal refusal)
{
    std::istringstream in(text);
    LevelSource src;
    std::string error;
    if (!parseLevelSource(in, "fuzz.txt", src, error)) {
        require(refusal == Refusal::Allowed, "a well-formed source is accepted");
        require(!error.empty(), "a refusal says why");
        return;
    }
    const PlainReading plain = readPlainly(text);
    require(plain.layers == src.layers, "the layer count is the last size line's");
    for (const auto& [layer, rows] : plain.maps) {
        require(layer >= 0 && layer < plain.layers, "a layer at or above the layer count is refused");
        require(rows.size() == size_t(src.rows), "a layer has a map line for every row");
        for (const std::string& row : rows)
            require(row.size() == size_t(src.columns), "a map line has a character for every column");
    }
    if (u64(src.columns) * u64(src.rows) * u64(src.layers) <= CompiledTileLimit)
        requireCompiledSource(plain, src);
}

// A small source that uses every directive with values from the whole of each range (pan frames
// only from the start of theirs), its lines ended as the input picks.
std::string wellFormedSource(InputCursor& in)
{
    const char* const end = in.byte() & 1 ? "\r\n" : "\n";
    const int columns = 1 + in.byte() % 6, rows = 1 + in.byte() % 6, layers = 1 + in.byte() % 3;
    std::ostringstream s;
    s << "tileset cytok" << end << "size " << columns << ' ' << rows << ' ' << layers << end;
    s << "active " << in.byte() % layers << end;
    s << "start " << in.u32le() << ' ' << in.u32le() << "  # a comment" << end;
    s << "camera " << (in.byte() & 1 ? "pan" : "follow") << end << "kinds" << end;
    for (int r = 0; r < KindLines; ++r) {
        for (int c = 0; c < 16; ++c)
            s << char('0' + in.byte() % 6);
        s << end;
    }
    const std::string symbols = ".ab";
    for (char symbol : symbols.substr(1))
        s << "tile " << symbol << ' ' << in.byte() % 16 << ' ' << in.byte() % 16 << end;
    for (int layer = 0; layer < layers; ++layer) {
        if (in.byte() & 1)
            continue;
        s << "layer " << layer << end;
        for (int r = 0; r < rows; ++r) {
            s << '|';
            for (int c = 0; c < columns; ++c)
                s << symbols[in.byte() % symbols.size()];
            s << '|' << end;
        }
    }
    for (int n = in.byte() % 4; n > 0; --n)
        s << "object " << KnownObjects[in.byte() % KnownObjects.size()].name << ' ' << i32(in.u32le()) << ' '
          << i32(in.u32le()) << end;
    u32 frame = in.byte() & 1 ? 0 : in.u16le();
    for (int n = in.byte() % 4; n > 0; --n, frame += 1 + in.u16le())
        s << "pan " << frame << ' ' << int(in.byte() % 32) - 16 << ' ' << int(in.byte() % 32) - 16 << end;
    return s.str();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzTarget();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    checkSource(std::string(reinterpret_cast<const char*>(data), size), Refusal::Allowed);
    InputCursor in(data, size);
    checkSource(wellFormedSource(in), Refusal::Forbidden);
    return 0;
}
