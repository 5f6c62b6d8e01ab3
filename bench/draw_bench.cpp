#include <benchmark/benchmark.h>

#include "core/draw.h"

#include <SDL/SDL.h>
#include <cstring>
#include <vector>

namespace {

SDL_Surface* makeSurface(int w, int h)
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
}

// A back buffer with varied content, so no routine gets a run of equal pixels for free.
SDL_Surface* makeBackBuffer()
{
    SDL_Surface* s = makeSurface(320, 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            putPixel(s, x, y, u32(x * 2654435761u ^ y * 40503u) & 0xFFFFFF);
    return s;
}

struct Stretch {
    SDL_Surface* src;
    SDL_Surface* dst;
    explicit Stretch(int scale) : src(makeBackBuffer()), dst(makeSurface(320 * scale, 240 * scale)) {}
    ~Stretch()
    {
        SDL_FreeSurface(src);
        SDL_FreeSurface(dst);
    }
    i64 outputBytes() const { return i64(dst->pitch) * dst->h; }
};

// The window stretch, run once per frame.
void BM_ScaleSurface(benchmark::State& state)
{
    u32 scale = u32(state.range(0));
    Stretch s{int(scale)};
    for (auto _ : state) {
        scaleSurface(scale, scale, s.src, s.dst);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * s.outputBytes());
}
BENCHMARK(BM_ScaleSurface)->DenseRange(1, 5);

// SDL's own software stretch at the same sizes, for comparison.
void BM_SdlSoftStretch(benchmark::State& state)
{
    int scale = int(state.range(0));
    Stretch s(scale);
    for (auto _ : state) {
        SDL_SoftStretch(s.src, nullptr, s.dst, nullptr);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * s.outputBytes());
}
BENCHMARK(BM_SdlSoftStretch)->DenseRange(1, 5);

// The floor: copying as many bytes as the stretch writes.
void BM_MemcpyOfStretchOutput(benchmark::State& state)
{
    int scale = int(state.range(0));
    size_t bytes = size_t(320 * scale) * size_t(240 * scale) * 4;
    std::vector<char> from(bytes, 1), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * i64(bytes));
}
BENCHMARK(BM_MemcpyOfStretchOutput)->DenseRange(1, 5);

// Every creature facing left draws this way, many times a frame.
void BM_MirroredSpriteBlit(benchmark::State& state)
{
    SDL_Surface* screen = makeSurface(320, 240);
    SDL_Surface* sprite = makeSurface(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            putPixel(sprite, x, y, (x + y) % 5 == 0 ? 0xFF00FF : 0x204060 + u32(x));
    setColorKey(sprite, true, 255, 0, 255);
    for (auto _ : state) {
        blitSurfaceEx(150, 100, sprite, screen, true, false, nullptr, false, 0);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(screen);
}
BENCHMARK(BM_MirroredSpriteBlit);

// The pause menu darkens the whole back buffer every frame.
void BM_FullScreenTint(benchmark::State& state)
{
    SDL_Surface* screen = makeBackBuffer();
    for (auto _ : state) {
        SDL_Rect all = {0, 0, 320, 240};
        tintRect(screen, &all, 0, 0, 40, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 320 * 240);
    SDL_FreeSurface(screen);
}
BENCHMARK(BM_FullScreenTint);

} // namespace
