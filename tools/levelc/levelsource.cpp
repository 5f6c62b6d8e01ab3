#include "tools/levelc/levelsource.h"

#include "world/level.h"

#include <sstream>

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

class Parser {
public:
    Parser(const std::string& name, std::string& error) : name(name), error(error) {}

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

    bool fail(const std::string& message)
    {
        error = name + ":" + std::to_string(lineNo) + ": " + message;
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
        if (word == "active")
            return read(words, src.active) || fail("active LAYER");
        if (word == "start")
            return read(words, src.startX, src.startY) || fail("start X Y");
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
        if (word == "pan") {
            LevelSource::Step s;
            if (!read(words, s.frame, s.dx, s.dy) || s.dx < -16 || s.dx > 15 || s.dy < -16 || s.dy > 15)
                return fail("pan FRAME DX DY (pixels -16..15)");
            for (const auto& other : src.steps)
                if (other.frame == s.frame)
                    return fail("a pan step for this frame is already given");
            src.steps.push_back(s);
            return true;
        }
        return fail("unknown directive '" + word + "'");
    }

    bool size(std::istringstream& words, LevelSource& src)
    {
        if (!read(words, src.columns, src.rows, src.layers) || src.columns <= 0 || src.columns > 0xFFFF ||
            src.rows <= 0 || src.rows > 0xFFFF || src.layers <= 0 || src.layers > 255)
            return fail("size COLUMNS ROWS LAYERS (1..65535, 1..65535, 1..255)");
        if (u64(src.columns) * u64(src.rows) * u64(src.layers) > MaxSourceTiles)
            return fail("size: more than " + std::to_string(MaxSourceTiles) + " tiles");
        return true;
    }

    bool kindsBlock(std::istream& in, LevelSource& src)
    {
        std::string line;
        for (int r = 0; r < 16; ++r) {
            if (!next(in, line))
                return fail("kinds: 16 lines of 16 digits expected");
            std::string digits = line.substr(0, line.find('#'));
            while (!digits.empty() && digits.back() == ' ')
                digits.pop_back();
            if (digits.size() != 16 || digits.find_first_not_of("0123456789") != std::string::npos)
                return fail("kinds: 16 digits expected");
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
            return fail("unknown object '" + name + "'");
        p.id = it->second;
        src.objects.push_back(p);
        return true;
    }

    bool check(LevelSource& src)
    {
        if (src.set.empty() || src.columns == 0)
            return fail("tileset and size are required");
        if (src.kinds.size() != 16)
            return fail("kinds are required");
        if (src.active < 0 || src.active >= src.layers)
            return fail("active layer out of range");
        for (const auto& [layer, rows] : src.maps)
            if (rows.size() != size_t(src.rows) || rows.front().size() != size_t(src.columns))
                return fail("layer " + std::to_string(layer) + " was drawn for another size");
        for (const auto& [layer, rows] : src.maps)
            for (const std::string& row : rows)
                for (char c : row)
                    if (!src.legend.count(c))
                        return fail(std::string("layer ") + std::to_string(layer) + ": no tile for '" + c + "'");
        return true;
    }

    std::string name;
    std::string& error;
    int lineNo = 0;
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
    level.setStartCamera(u32(src.startX), u32(src.startY));
    level.setCameraMode(src.pan ? CameraPan : CameraFollow);
    if (!src.steps.empty())
        level.clearPan();
    for (const auto& s : src.steps)
        level.addPanStep(s.frame, i8(s.dx), i8(s.dy));
    for (const auto& o : src.objects)
        level.addObject(o.id, o.x, o.y);
}
