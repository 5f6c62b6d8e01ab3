#include <benchmark/benchmark.h>

#include "bench/bench_env.h"
#include "world/level.h"
#include "world/levelrunner.h"
#include "world/systphysical.h"
#include "world/terrain/terrainblocks.h"

#include <SDL/SDL.h>
#include <cstdio>
#include <string>

namespace {

// A creature-like object: moves a little and is a Character, so it joins two category maps.
class Walker : public PhysicalCharacter {
public:
    Walker(i32 x, i32 y) : PhysicalCharacter(FlagDamagable | FlagCharacter, x, y, 16, 24, 0) {}
    void update() override { x += (owner->frame() & 1) ? 1 : -1; }
};

// A level's object mix: mostly terrain, some creatures, a few plain objects.
void populate(SystPhysical& sys, int count)
{
    SDL_Rect cell = {0, 0, 16, 16};
    for (int i = 0; i < count; ++i) {
        i32 x = (i % 40) * 16, y = (i / 40) * 16;
        switch (i % 10) {
        case 0:
        case 1:
            sys.add(new Walker(x, y));
            break;
        case 2:
            sys.add(new GraphicBlock(x, y, 10, nullptr, cell));
            break;
        case 3:
            sys.add(new Physical(FlagEffect, x, y, 4, 4, -5));
            break;
        default:
            sys.add(new FullBlock(x, y, -1, nullptr, cell));
            break;
        }
    }
    sys.update();
}

SDL_Surface* screen()
{
    static SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    return s;
}

// A frame in which nothing joins or leaves: update and draw passes only.
void BM_SystPhysicalFrame(benchmark::State& state)
{
    SystPhysical sys;
    populate(sys, int(state.range(0)));
    for (auto _ : state) {
        sys.update();
        sys.draw(screen());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SystPhysicalFrame)->Arg(500)->Arg(2000)->Arg(8000)->Unit(benchmark::kMicrosecond)->Complexity();

// A frame in which one object leaves and one joins, so the snapshot and the six category maps are
// rebuilt: the usual case while shots fly and terrain streams.
void BM_SystPhysicalFrameWithChange(benchmark::State& state)
{
    SystPhysical sys;
    populate(sys, int(state.range(0)));
    Physical* shot = new Physical(FlagShot, 0, 0, 2, 2, 0);
    sys.add(shot);
    for (auto _ : state) {
        shot->removeSelf();
        shot = new Physical(FlagShot, 0, 0, 2, 2, 0);
        sys.add(shot);
        sys.update();
        sys.draw(screen());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SystPhysicalFrameWithChange)
    ->Arg(500)
    ->Arg(2000)
    ->Arg(8000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();

// Loading a 300 x 30 x 3 level with a pan path and objects.
void BM_LevelLoad(benchmark::State& state)
{
    openBenchEnvironment();
    const std::string file = "/tmp/warden_bench_level.lvl";
    {
        Level level(300, 30, 3, 1, "cytok");
        for (int c = 0; c < 300; ++c)
            for (int r = 0; r < 30; ++r)
                for (int l = 0; l < 3; ++l)
                    level.setTile(c, r, l, u8(c * 7 + r * 3 + l));
        for (u32 f = 0; f < 200; ++f)
            level.addPanStep(f * 30, 1, 0);
        for (int i = 0; i < 100; ++i)
            level.addObject(u16(i % 35), i * 48, 200);
        level.save(file);
    }
    Level level(file);
    for (auto _ : state)
        benchmark::DoNotOptimize(level.load(file));
    std::remove(file.c_str());
}
BENCHMARK(BM_LevelLoad)->Unit(benchmark::kMicrosecond);

// A frame of the demo level at its start, its camera left where it is (0) or shaken by someone
// else by a few pixels each frame (1), as a boss fight does: the runner then refiles its blocks.
void BM_LevelRunnerFrame(benchmark::State& state)
{
    openBenchEnvironment();
    SystPhysical sys;
    LevelRunner* runner = new LevelRunner("demo.lvl");
    sys.add(runner);
    sys.update();
    i8 shake = 2;
    for (auto _ : state) {
        if (state.range(0))
            sys.cameraX += shake = i8(-shake);
        sys.update();
    }
    state.counters["blocks"] = double(runner->streamedBlockCount());
}
BENCHMARK(BM_LevelRunnerFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
