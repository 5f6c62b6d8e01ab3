// The level compiler's source reader on any text, on a well-formed source built from the same
// bytes, which it must accept, and on a copy of that source with one value just outside its
// range or one unknown name, which it must refuse at that line. Whatever it accepts keeps every
// drawn layer below its layer count and compiles to a level that loads again with everything the
// source says: in every cell the tile that the legend gives the cell's map character, the kinds
// table, the start camera, the camera mode with its pan steps, and the objects in source order.
#include "fuzz/fuzz_support.h"
#include "tools/levelc/levelsource.h"
#include "world/level.h"

#include <algorithm>
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
constexpr i64 MaxU32 = 0xFFFFFFFF;
constexpr i64 MinI32 = -0x80000000LL, MaxI32 = 0x7FFFFFFF;
// A pan step's frame plus the path's tail is still a frame.
constexpr i64 LastPanFrame = MaxU32 - PanTail;

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
    require(level.save("out.lvl") == SaveResult::Saved, "a compiled level saves");
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

// A well-formed source beside a copy of it in which one value lies just outside its range, or
// one name is not the compiler's: the input picks which value, and on which side.
class SourcePair {
public:
    // Text that both sources share.
    SourcePair& operator<<(const std::string& shared)
    {
        if (pieces.empty() || pieces.back().refusal)
            pieces.push_back({{}, {}, {}, nullptr});
        pieces.back().good += shared;
        return *this;
    }
    SourcePair& operator<<(char shared) { return *this << std::string(1, shared); }
    // A number of the well-formed source within low..high; the copy may hold low - 1 or high + 1.
    void number(i64 value, i64 low, i64 high, const char* refusal)
    {
        word(std::to_string(value), std::to_string(low - 1), std::to_string(high + 1), refusal);
    }
    // A word of the well-formed source and two that the copy may hold instead.
    void word(const std::string& good, const std::string& below, const std::string& above, const char* refusal)
    {
        pieces.push_back({good, below, above, refusal});
    }

    std::string wellFormed() const
    {
        std::string text;
        for (const Piece& piece : pieces)
            text += piece.good;
        return text;
    }

    struct Spoiled {
        std::string text;
        int line;             // where the wrong value stands, counted from 1
        const char* refusal;  // the property a compiler that takes the copy breaks
    };
    // Bit 7 of the pick chooses the side, the rest which value.
    Spoiled spoiled(u8 pick) const
    {
        std::vector<size_t> sites;
        for (size_t i = 0; i < pieces.size(); ++i)
            if (pieces[i].refusal)
                sites.push_back(i);
        const size_t site = sites[(pick & 0x7F) % sites.size()];
        Spoiled copy{{}, 1, pieces[site].refusal};
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (i == site) {
                copy.text += pick & 0x80 ? pieces[i].above : pieces[i].below;
                copy.line = 1 + int(std::count(copy.text.begin(), copy.text.end(), '\n'));
            } else {
                copy.text += pieces[i].good;
            }
        }
        return copy;
    }

private:
    struct Piece {
        std::string good, below, above;
        const char* refusal;
    };
    std::vector<Piece> pieces;
};

// A copy of a well-formed source with one wrong value is refused at the line that holds it.
void checkSpoiledSource(const SourcePair::Spoiled& copy)
{
    std::istringstream in(copy.text);
    LevelSource src;
    std::string error;
    require(!parseLevelSource(in, "fuzz.txt", src, error), copy.refusal);
    require(error.rfind("fuzz.txt:" + std::to_string(copy.line) + ": ", 0) == 0,
            "a refusal names the line of the wrong value");
}

// A small source that uses every directive with values from the whole of each range (pan frames
// from either end of theirs), its lines ended as the input picks.
SourcePair wellFormedSource(InputCursor& in)
{
    const char* const end = in.byte() & 1 ? "\r\n" : "\n";
    const int columns = 1 + in.byte() % 6, rows = 1 + in.byte() % 6, layers = 1 + in.byte() % 3;
    SourcePair s;
    s << "tileset cytok" << end << "size ";
    s.number(columns, 1, 0xFFFF, "a column count outside 1..65535 is refused");
    s << ' ';
    s.number(rows, 1, 0xFFFF, "a row count outside 1..65535 is refused");
    s << ' ';
    s.number(layers, 1, 255, "a layer count outside 1..255 is refused");
    s << end << "active ";
    s.number(in.byte() % layers, 0, layers - 1, "an active layer outside the layer count is refused");
    s << end << "start ";
    s.number(in.u32le(), 0, MaxU32, "a start camera x outside 0..4294967295 is refused");
    s << ' ';
    s.number(in.u32le(), 0, MaxU32, "a start camera y outside 0..4294967295 is refused");
    const std::string mode = in.byte() & 1 ? "pan" : "follow";
    s << "  # a comment" << end << "camera ";
    s.word(mode, mode.substr(1), mode + 's', "an unknown camera mode is refused");
    s << end << "kinds" << end;
    // The one digit the copy may raise above the highest kind.
    const u8 wrongKind = in.byte();
    for (int r = 0; r < KindLines; ++r) {
        std::string digits;
        for (int c = 0; c < 16; ++c)
            digits += char('0' + in.byte() % 6);
        if (r == wrongKind >> 4) {
            std::string raised = digits;
            raised[wrongKind & 15] = '6';
            s.word(digits, raised, raised, "a kind above 5 is refused");
        } else {
            s << digits;
        }
        s << end;
    }
    const std::string symbols = ".ab";
    for (char symbol : symbols.substr(1)) {
        s << "tile " << symbol << ' ';
        s.number(in.byte() % 16, 0, 15, "a tile column outside 0..15 is refused");
        s << ' ';
        s.number(in.byte() % 16, 0, 15, "a tile row outside 0..15 is refused");
        s << end;
    }
    for (int layer = 0; layer < layers; ++layer) {
        if (in.byte() & 1)
            continue;
        s << "layer ";
        s.number(layer, 0, layers - 1, "a layer outside the layer count is refused");
        s << end;
        for (int r = 0; r < rows; ++r) {
            s << '|';
            for (int c = 0; c < columns; ++c)
                s << symbols[in.byte() % symbols.size()];
            s << '|' << end;
        }
    }
    for (int n = in.byte() % 4; n > 0; --n) {
        const std::string name = KnownObjects[in.byte() % KnownObjects.size()].name;
        s << "object ";
        s.word(name, name.substr(0, name.size() - 1), name + 's', "an unknown object name is refused");
        s << ' ';
        s.number(i32(in.u32le()), MinI32, MaxI32, "an object x outside the 32-bit range is refused");
        s << ' ';
        s.number(i32(in.u32le()), MinI32, MaxI32, "an object y outside the 32-bit range is refused");
        s << end;
    }
    // Frames climb from 0 or a small frame, or fall from the last one a step may have.
    const u8 firstFrame = in.byte() % 3;
    const i64 climb = firstFrame == 2 ? -1 : 1;
    i64 frame = firstFrame == 0 ? 0 : firstFrame == 1 ? in.u16le() : LastPanFrame;
    for (int n = in.byte() % 4; n > 0; --n, frame += climb * (1 + in.u16le())) {
        s << "pan ";
        s.number(frame, 0, LastPanFrame, "a pan frame outside 0..4294967205 is refused");
        s << ' ';
        s.number(int(in.byte() % 32) - 16, -16, 15, "a pan step's dx outside -16..15 is refused");
        s << ' ';
        s.number(int(in.byte() % 32) - 16, -16, 15, "a pan step's dy outside -16..15 is refused");
        s << end;
    }
    return s;
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
    const u8 pick = in.byte();
    const SourcePair pair = wellFormedSource(in);
    checkSource(pair.wellFormed(), Refusal::Forbidden);
    checkSpoiledSource(pair.spoiled(pick));
    return 0;
}
