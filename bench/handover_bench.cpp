#include <benchmark/benchmark.h>

#include "actors/bossfight.h"
#include "actors/springfoot/springfoot_boss.h"
#include "bench/bench_env.h"
#include "core/engine.h"
#include "core/lang.h"
#include "core/media.h"
#include "story/credits.h"
#include "world/systphysical.h"
#include "world/terrain/terrainblocks.h"

#include <memory>

namespace {

constexpr i32 ArenaX = 480;
constexpr i32 ArenaY = 360;
constexpr SDL_Rect FloorCell = {0, 0, 16, 16};

// Between rounds the music the frame started is stopped and forgotten, so every timed frame
// meets it for the first time, as the player does.
void forgetMusic(const char* name)
{
    Mix_HaltMusic();
    freeMusic(loadMusic(name));
}

// An arena with its floor and the boss, the director already in the level and the camera just
// landed on the arena: the next frame is the one in which the fight starts.
std::unique_ptr<SystPhysical> arenaAboutToStart()
{
    auto world = std::make_unique<SystPhysical>();
    for (i32 c = -12; c < 12; ++c)
        world->add(new FullBlock(ArenaX + c * 16, ArenaY + 64, -1, nullptr, FloorCell));
    world->add(new Springfoot_Boss(ArenaX + 64, ArenaY + 32));
    world->add(new BossFight(ArenaX, ArenaY));
    world->update();
    world->cameraX = ArenaX - ScreenWidth / 2;
    world->cameraY = ArenaY - ScreenHeight / 2;
    return world;
}

// The fight's first frame: the bosses wake, the pillars lock and the boss music starts.
void BM_BossFightFirstFrame(benchmark::State& state)
{
    openBenchEnvironment();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<SystPhysical> world = arenaAboutToStart();
        state.ResumeTiming();
        world->update();
        world->draw(backBuffer);
        state.PauseTiming();
        world.reset();
        forgetMusic("resource/acid.it");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BossFightFirstFrame)->Unit(benchmark::kMillisecond);

// The credits' first frame: the ending hands over to a new credits screen, whose music starts,
// and the screen runs and draws once.
void BM_CreditsFirstFrame(benchmark::State& state)
{
    openBenchEnvironment();
    loadLangPack("english");
    for (auto _ : state) {
        auto credits = std::make_unique<Credits>();
        credits->update();
        credits->draw(backBuffer);
        state.PauseTiming();
        credits.reset();
        forgetMusic("resource/ending.it");
        state.ResumeTiming();
    }
    unloadLangPack();
}
BENCHMARK(BM_CreditsFirstFrame)->Unit(benchmark::kMillisecond);

} // namespace
