// The level compiler's source reader on any text: whatever it accepts compiles to a level that
// loads again with the same tiles.
#include "fuzz/fuzz_support.h"
#include "tools/levelc/levelsource.h"
#include "world/level.h"

#include <sstream>
#include <string>

namespace {

// Sizes above this are only read, not compiled: each run must stay quick.
constexpr u64 CompiledTileLimit = 1 << 16;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzTarget();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    LevelSource src;
    std::string error;
    if (!parseLevelSource(in, "fuzz.txt", src, error)) {
        require(!error.empty(), "a refusal says why");
        return 0;
    }
    if (u64(src.columns) * u64(src.rows) * u64(src.layers) > CompiledTileLimit)
        return 0;
    Level level(u16(src.columns), u16(src.rows), u8(src.layers), u8(src.active), src.set);
    compileLevelSource(src, level);
    require(level.save("out.lvl"), "a compiled level saves");
    Level again("out.lvl");
    require(!again.loadFailed(), "a compiled level loads");
    for (i32 x = 0; x < src.columns; ++x)
        for (i32 y = 0; y < src.rows; ++y)
            for (i32 layer = 0; layer < src.layers; ++layer)
                require(again.tileAt(x, y, layer) == level.tileAt(x, y, layer), "the tiles load as compiled");
    return 0;
}
