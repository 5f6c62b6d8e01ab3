#include "tools/levelc/levelsource.h"

#include "world/level.h"

#include <set>
#include <sstream>

std::string shownText(const std::string& text)
{
    const char* const hex = "0123456789abcdef";
    std::string shown;
    for (char c : text) {
        const u8 code = u8(c);
        // A backslash is escaped too, so a shown "\x1b" can only stand for the byte 0x1b.
        if (code >= 0x20 && code < 0x7F && c != '\\')
            shown += c;
        else
            shown += std::string("\\x") + hex[code >> 4] + hex[code & 15];
    }
    return shown;
}

namespace {

const std::map<std::string, u16> ObjectIds = {
    {"Dahlia", 0}, {"Chaser", 1}, {"Follower", 2}, {"Water", 4}, {"Dummy", 5}, {"BreakBlock", 6},
    {"Floating_Turret", 7}, {"Springfoot", 8}, {"WallSpitter", 9}, {"Mine", 10}, {"Floating_BreakBlock", 11},
    {"Splecker", 12}, {"Springfoot_Boss", 13}, {"BossFight", 14}, {"Springfoot_Boss_Player", 15},
    {"Pillar", 16}, {"Pillar_Solid", 17}, {"Pillar_BossLock", 18}, {"Pillar_BossStairs", 19},
    {"Multiplayer1", 20}, {"Multiplayer2", 21}, {"Multiplayer3", 22}, {"Multiplayer4", 23},
    {"Multiplayer5", 24}, {"Bird", 28}, {"Looper", 30}, {"Corpse_Sinker", 31}, {"Demo_Ending", 32},
    {"Water_Large", 33}, {"Dahlia_Sit", 34}, {"Tutorial_Motion", 33001}, {"Tutorial_Shooting", 33002},
    {"Tutorial_Stones", 33003}, {"Tutorial_Enemies", 33004}, {"Tutorial_Splecker", 33005},
    {"Tutorial_BossWarn", 33006},
};

// The level file keeps the start camera and the pan frames unsigned, and a stream reads "-1" into
// an unsigned number as its largest value: such numbers are read wide and held to their field.
bool inRange(i64 value, i64 low, i64 high)
{
    return value >= low && value <= high;
}

// Source text in a message, in the quotes that set it apart.
std::string quoted(const std::string& text)
{
    return "'" + shownText(text) + "'";
}

constexpr i64 MaxU32 = 0xFFFFFFFF;
// The last step's frame plus the path's tail must still be a frame.
constexpr i64 MaxPanFrame = MaxU32 - PanTail;
// The file counts the pan steps in 16 bits.
constexpr size_t MaxPanSteps = 0xFFFF;

class Parser {
public:
    Parser(const std::string& name, std::string& error) : name(shownText(name)), error(error) {}

    bool parse(std::istream& in, LevelSource& src)
    {
        std::string line;
        while (next(in, line)) {
            std::string text = line.substr(0, line.find('#'));
            std::istringstream words(text);
            std::string word;
            if (!(words >> word))
                continue;
            if (!directive(in, word, words, src))
                return false;
        }
        return check(src);
    }

private:
    bool next(std::istream& in, std::string& line)
    {
        if (!std::getline(in, line))
            return false;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

    bool fail(const std::string& message) { return failAt(lineNo, message); }

    bool failAt(int line, const std::string& message)
    {
        error = name + ":" + std::to_string(line) + ": " + message;
        return false;
    }

    template <class... T> bool read(std::istringstream& words, T&... values)
    {
        bool ok = bool((words >> ... >> values));
        std::string extra;
        return ok && !(words >> extra);
    }

    bool directive(std::istream& in, const std::string& word, std::istringstream& words, LevelSource& src)
    {
        if (word == "tileset") {
            if (!read(words, src.set))
                return fail("tileset NAME");
            return safeSetName(src.set) || fail("tileset NAME: at most 64 bytes, without '/', '\\' or \"..\"");
        }
        if (word == "size")
            return size(words, src);
        if (word == "active") {
            activeLine = lineNo;
            return read(words, src.active) || fail("active LAYER");
        }
        if (word == "start")
            return start(words, src);
        if (word == "camera") {
            std::string mode;
            if (!read(words, mode) || (mode != "follow" && mode != "pan"))
                return fail("camera follow|pan");
            src.pan = mode == "pan";
            return true;
        }
        if (word == "kinds")
            return kindsBlock(in, src);
        if (word == "tile")
            return legendEntry(words, src);
        if (word == "layer")
            return layerBlock(in, words, src);
        if (word == "object")
            return object(words, src);
        if (word == "pan")
            return panStep(words, src);
        return fail("unknown directive " + quoted(word));
    }

    bool start(std::istringstream& words, LevelSource& src)
    {
        i64 x, y;
        if (!read(words, x, y) || !inRange(x, 0, MaxU32) || !inRange(y, 0, MaxU32))
            return fail("start X Y (0..4294967295)");
        src.startX = u32(x);
        src.startY = u32(y);
        return true;
    }

    bool panStep(std::istringstream& words, LevelSource& src)
    {
        i64 frame;
        LevelSource::Step s;
        if (!read(words, frame, s.dx, s.dy) || !inRange(frame, 0, MaxPanFrame) || !inRange(s.dx, -16, 15) ||
            !inRange(s.dy, -16, 15))
            return fail("pan FRAME DX DY (frames 0.." + std::to_string(MaxPanFrame) + ", pixels -16..15)");
        s.frame = u32(frame);
        if (src.steps.size() == MaxPanSteps)
            return fail("pan: at most " + std::to_string(MaxPanSteps) + " steps");
        if (!panFrames.insert(s.frame).second)
            return fail("a pan step for this frame is already given");
        src.steps.push_back(s);
        return true;
    }

    bool size(std::istringstream& words, LevelSource& src)
    {
        int columns, rows, layers;
        if (!read(words, columns, rows, layers) || !inRange(columns, 1, 0xFFFF) || !inRange(rows, 1, 0xFFFF) ||
            !inRange(layers, 1, 255))
            return fail("size COLUMNS ROWS LAYERS (1..65535, 1..65535, 1..255)");
        if (u64(columns) * u64(rows) * u64(layers) > MaxSourceTiles)
            return fail("size: more than " + std::to_string(MaxSourceTiles) + " tiles");
        // A drawn layer keeps its columns and rows; a smaller layer count would drop the highest.
        if (!src.maps.empty() && (columns != src.columns || rows != src.rows || src.maps.rbegin()->first >= layers))
            return fail("layer " + std::to_string(src.maps.rbegin()->first) + " was drawn for another size");
        src.columns = columns;
        src.rows = rows;
        src.layers = layers;
        return true;
    }

    bool kindsBlock(std::istream& in, LevelSource& src)
    {
        if (!src.kinds.empty())
            return fail("kinds: given twice");
        std::string line;
        for (int r = 0; r < 16; ++r) {
            if (!next(in, line))
                return fail("kinds: 16 lines of 16 digits expected");
            std::string digits = line.substr(0, line.find('#'));
            while (!digits.empty() && digits.back() == ' ')
                digits.pop_back();
            // Only kinds 0..5 make blocks; a higher digit is a slip of the pen.
            if (digits.size() != 16 || digits.find_first_not_of("012345") != std::string::npos)
                return fail("kinds: 16 digits 0..5 expected");
            src.kinds.push_back(digits);
        }
        return true;
    }

    bool legendEntry(std::istringstream& words, LevelSource& src)
    {
        std::string symbol;
        int column, row;
        if (!read(words, symbol, column, row) || symbol.size() != 1 || column < 0 || column > 15 || row < 0 ||
            row > 15 || symbol[0] == '|' || symbol[0] == '#')
            return fail("tile C COLUMN ROW");
        src.legend[symbol[0]] = u8(row * 16 + column);
        return true;
    }

    bool layerBlock(std::istream& in, std::istringstream& words, LevelSource& src)
    {
        int layer;
        if (!read(words, layer) || layer < 0 || layer >= src.layers || src.maps.count(layer))
            return fail("layer N: a new layer below the layer count (give size first)");
        layerLines[layer] = lineNo;
        std::vector<std::string>& rows = src.maps[layer];
        std::string line;
        while (int(rows.size()) < src.rows) {
            if (!next(in, line))
                return fail("layer ends early");
            if (line.size() != size_t(src.columns) + 2 || line.front() != '|' || line.back() != '|')
                return fail("map line '|' + " + std::to_string(src.columns) + " characters + '|' expected");
            rows.push_back(line.substr(1, size_t(src.columns)));
        }
        return true;
    }

    bool object(std::istringstream& words, LevelSource& src)
    {
        std::string name;
        LevelSource::Placement p;
        if (!read(words, name, p.x, p.y))
            return fail("object NAME X Y");
        auto it = ObjectIds.find(name);
        if (it == ObjectIds.end())
            return fail("unknown object " + quoted(name));
        p.id = it->second;
        src.objects.push_back(p);
        return true;
    }

    // What only the whole source can tell; a fault that has a line is reported at that line,
    // one that lacks a line at the last line.
    bool check(LevelSource& src)
    {
        if (src.set.empty() || src.columns == 0)
            return fail("tileset and size are required");
        if (src.kinds.empty())
            return fail("kinds are required");
        if (src.active < 0 || src.active >= src.layers)
            return failAt(activeLine, "active layer out of range");
        for (const auto& [layer, rows] : src.maps)
            for (size_t r = 0; r < rows.size(); ++r)
                for (char c : rows[r])
                    if (!src.legend.count(c))
                        return failAt(layerLines[layer] + 1 + int(r),
                                      "layer " + std::to_string(layer) + ": no tile for " + quoted(std::string(1, c)));
        return true;
    }

    std::string name;
    std::string& error;
    int lineNo = 0;
    int activeLine = 0;
    // The line of each layer's "layer" directive; its map lines follow it.
    std::map<int, int> layerLines;
    std::set<u32> panFrames;
};

} // namespace

bool parseLevelSource(std::istream& in, const std::string& name, LevelSource& src, std::string& error)
{
    return Parser(name, error).parse(in, src);
}

void compileLevelSource(const LevelSource& src, Level& level)
{
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            level.setKind(Tile(u8(c), u8(r)), u8(src.kinds[r][c] - '0'));
    for (const auto& [layer, rows] : src.maps)
        for (int r = 0; r < src.rows; ++r)
            for (int c = 0; c < src.columns; ++c)
                level.setTile(c, r, layer, src.legend.at(rows[r][c]));
    level.setStartCamera(src.startX, src.startY);
    level.setCameraMode(src.pan ? CameraPan : CameraFollow);
    if (!src.steps.empty())
        level.clearPan();
    for (const auto& s : src.steps)
        level.addPanStep(s.frame, i8(s.dx), i8(s.dy));
    for (const auto& o : src.objects)
        level.addObject(o.id, o.x, o.y);
}
