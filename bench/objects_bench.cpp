#include <benchmark/benchmark.h>

#include "world/objects/marker.h"
#include "world/systphysical.h"
#include "world/terrain/terrainblocks.h"

namespace {

// A screen and its streaming margin full of terrain: 28 x 23 tiles, one in three solid, one in
// three a one-way platform, the rest slopes.
void fillWithTerrain(SystPhysical& world)
{
    const SDL_Rect cell = {0, 0, 16, 16};
    for (int row = 0; row < 23; ++row) {
        for (int column = 0; column < 28; ++column) {
            const i32 x = column * 16 - 64;
            const i32 y = row * 16 - 64;
            switch ((row + column) % 4) {
            case 0:
            case 1:
                world.add(new FullBlock(x, y, -1, nullptr, cell));
                break;
            case 2:
                world.add(new ThroughBlock(x, y, -1, nullptr, cell));
                break;
            default:
                world.add(new SlopeBlock_Left(x, y, -1, nullptr, cell));
                break;
            }
        }
    }
    world.update();
}

// One probe of the smart creatures' path planner: a body-sized box asked against every block.
void BM_MarkerProbe(benchmark::State& state)
{
    SystPhysical world;
    fillWithTerrain(world);
    Marker probe;
    i32 step = 0;
    for (auto _ : state) {
        probe.setBox(step % 320, (step / 320) % 240, 16, 24);
        benchmark::DoNotOptimize(probe.isBlocked(&world, true));
        step += 7;
    }
}
BENCHMARK(BM_MarkerProbe);

} // namespace
