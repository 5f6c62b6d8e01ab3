// The level file reader on any bytes: whatever loads saves and loads again to the same level.
#include "fuzz/fuzz_support.h"
#include "world/level.h"

#include <vector>

namespace {

bool sameObjects(const Level& a, const Level& b)
{
    std::vector<LevelObject*> first, second;
    a.allObjects(first);
    b.allObjects(second);
    if (first.size() != second.size())
        return false;
    for (size_t i = 0; i < first.size(); ++i) {
        if (first[i]->type != second[i]->type || first[i]->x != second[i]->x || first[i]->y != second[i]->y)
            return false;
    }
    return true;
}

bool sameTiles(const Level& a, const Level& b)
{
    if (a.width() != b.width() || a.height() != b.height() || a.layers() != b.layers() ||
        a.activeLayer() != b.activeLayer() || a.setName() != b.setName())
        return false;
    for (i32 x = 0; x < a.width(); ++x)
        for (i32 y = 0; y < a.height(); ++y)
            for (i32 layer = 0; layer < a.layers(); ++layer)
                if (a.tileAt(x, y, layer) != b.tileAt(x, y, layer))
                    return false;
    for (u32 t = 0; t < 256; ++t)
        if (a.kind(Tile(u8(t))) != b.kind(Tile(u8(t))))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzTarget();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    writeScratchFile("in.lvl", data, size);
    Level level("in.lvl");
    if (level.loadFailed())
        return 0;
    require(level.save("out.lvl") == SaveResult::Saved, "a loaded level saves");
    Level again("out.lvl");
    require(!again.loadFailed(), "a saved level loads");
    require(sameTiles(level, again), "tiles, kinds and sizes survive a save");
    require(level.startCameraX() == again.startCameraX() && level.startCameraY() == again.startCameraY() &&
                level.cameraMode() == again.cameraMode(),
            "the camera survives a save");
    // The path has no way to list its frames; its saved bytes stand for it.
    require(again.save("again.lvl") == SaveResult::Saved, "a reloaded level saves");
    require(level.panStepCount() == again.panStepCount() && readScratchFile("out.lvl") == readScratchFile("again.lvl"),
            "the pan path survives a save");
    require(sameObjects(level, again), "the objects survive a save");
    return 0;
}
