// levelc: compiles a level source (readable text) into a ".lvl" level file with the game's own
// Level writer.
//
//   levelc SOURCE.txt OUTPUT.lvl
//
// A faulty source is refused with "levelc: SOURCE:LINE: what is wrong" and exit code 1, as is an
// output that cannot be written whole; then whatever was at OUTPUT.lvl stays as it was.
// Where the output's folder takes no new file, or a new file could not keep the old one's owner
// and group, the output is written over in place. A save in place is not whole if the machine
// stops in the middle of it, and where a failed one cannot put the old bytes back, levelc says
// "levelc: cannot write OUTPUT.lvl; the old file could not be put back and is damaged".
//
// Source lines (blank lines and lines starting with '#' are ignored; '#' also starts a trailing
// comment on directive lines):
//   tileset NAME                      tileset "resource/NAME-tiles.gif"; at most 64 bytes,
//                                     without '/', '\\' or ".." (the game refuses such levels)
//   size COLUMNS ROWS LAYERS          1..65535, 1..65535, 1..255, at most 2^28 tiles in all; once a
//                                     layer is drawn, only more layers
//   active LAYER                      the layer whose tiles collide
//   start X Y                         start camera, world pixels 0..4294967295
//   camera follow|pan
//   kinds                             then 16 lines of 16 digits 0..5: the kind of every tile
//                                     value, one line per tileset row, one digit per column
//   tile C COLUMN ROW                 the map character C (not '|' or '#') stands for that tileset
//                                     cell; '.' is tile 0
//   layer N                           then ROWS map lines "|...|" of COLUMNS characters each
//   object NAME X Y                   a placed object (names in levelsource.cpp) at world pixels X, Y
//   pan FRAME DX DY                   a pan step from FRAME (0..4294967205) on, in whole pixels
//                                     per frame (-16..15); at most 65535 steps
#include "core/media.h"
#include "core/modal.h"
#include "core/platform.h"
#include "core/respack.h"
#include "tools/levelc/levelsource.h"
#include "world/level.h"

#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

// No modal screen may wait in a tool run: there is nobody to press Return.
ModalPoll noModalEvents(SDL_Event*)
{
    return ModalPoll::Ended;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: levelc SOURCE.txt OUTPUT.lvl\n");
        return 2;
    }
    // A write past the file size limit then fails and the level writer removes its new file,
    // instead of the compiler dying with that file still beside the output.
    ignoreFileSizeSignal();
    LevelSource src;
    std::string error;
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "levelc: %s: cannot open\n", shownText(argv[1]).c_str());
        return 1;
    }
    if (!parseLevelSource(in, argv[1], src, error)) {
        std::fprintf(stderr, "levelc: %s\n", error.c_str());
        return 1;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setModalEventSource(noModalEvents);
    SDL_Init(SDL_INIT_VIDEO);
    SDL_SetVideoMode(320, 240, 32, 0);
    initResourcePack();
    auto level = std::make_unique<Level>(u16(src.columns), u16(src.rows), u8(src.layers), u8(src.active), src.set);
    compileLevelSource(src, *level);
    const SaveResult saved = level->save(argv[2]);
    level.reset();
    freeAllSurfaces();
    cleanupResourcePack();
    SDL_Quit();
    if (saved != SaveResult::Saved) {
        const char* damage = saved == SaveResult::Damaged ? "; the old file could not be put back and is damaged" : "";
        std::fprintf(stderr, "levelc: cannot write %s%s\n", shownText(argv[2]).c_str(), damage);
        return 1;
    }
    return 0;
}
