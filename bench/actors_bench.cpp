#include <benchmark/benchmark.h>

#include "actors/actor.h"
#include "actors/bullet.h"
#include "world/systphysical.h"
#include "world/terrain/terrainblocks.h"

namespace {

constexpr SDL_Rect NoCell = {0, 0, 16, 16};

// A body pacing back and forth, hopping now and then.
class Pacer : public Actor {
public:
    Pacer(i32 x, i32 y) : Actor(x, y)
    {
        w = 8;
        h = 16;
    }
    Controls think() override
    {
        const u32 f = owner->frame() + serial * 7;
        return Controls((f / 60) % 2 ? 1 : -1, f % 45 == 0);
    }
};

// A shot that flies back and forth across the view forever.
class Tracer : public Bullet {
public:
    using Bullet::Bullet;
    void fly() override
    {
        if (spent) {
            spent = 0;
            velX = i8(-velX);
        }
    }
};

// A screenful of terrain as the streamer keeps it (the view plus its 64-pixel margin, 28 x 23
// tiles), half of it solid, with resting, walking and jumping bodies and shots in the air.
void BM_LevelFrame(benchmark::State& state)
{
    const int bodies = int(state.range(0));
    SystPhysical world;
    for (i32 c = -4; c < 24; ++c) {
        for (i32 r = -4; r < 19; ++r) {
            const bool ground = r >= 13 || (r == 8 && c % 5 < 3) || (c % 9 == 0 && r > 10);
            if (ground)
                world.add(new FullBlock(c * 16, r * 16, -1, nullptr, NoCell));
        }
    }
    for (int i = 0; i < bodies; ++i)
        world.add(new Pacer(20 + (i * 37) % 280, 100));
    for (int i = 0; i < 20; ++i)
        world.add(new Tracer(10 + i * 15, 30 + i * 5, i8(i % 2 ? 10 : -10), 0, nullptr));
    world.update();
    for (auto _ : state)
        world.update();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LevelFrame)->Arg(10)->Arg(40);

} // namespace
