#include <benchmark/benchmark.h>

#include "bench/bench_env.h"
#include "core/lang.h"
#include "core/media.h"

#include <SDL/SDL.h>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// An image loaded once for the whole run, among a realistic number of other cached names. The
// cache keeps it, so its file is gone again at once.
const std::string& cachedImage()
{
    static const std::string name = [] {
        fs::path folder = fs::temp_directory_path() / "warden-bench-media";
        fs::create_directories(folder);
        std::string image = (folder / "sprite.bmp").string();
        SDL_Surface* source = SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 16, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        SDL_SaveBMP(source, image.c_str());
        SDL_FreeSurface(source);
        for (int i = 0; i < 200; ++i)
            createSurface(1, 1);
        loadGraphic(image, true, 0, 255, 0, false);
        fs::remove_all(folder);
        return image;
    }();
    return name;
}

// Sprites and effects ask for their images in every constructor: a repeated request must be
// a single table lookup.
void BM_RepeatedGraphicRequest(benchmark::State& state)
{
    openBenchEnvironment();
    const std::string& image = cachedImage();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadGraphic(image, true, 0, 255, 0, false));
}
BENCHMARK(BM_RepeatedGraphicRequest);

// A module's first request, as the title, a level start, the fight and the credits make it.
// Each round frees it again, so the next request loads it anew.
void BM_FirstMusicLoad(benchmark::State& state, const char* name)
{
    openBenchEnvironment();
    for (auto _ : state) {
        Mix_Music* music = loadMusic(name);
        state.PauseTiming();
        if (!music) {
            state.SkipWithError("the module did not load");
            break;
        }
        freeMusic(music);
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BM_FirstMusicLoad, title_dnb, "resource/dnb.it")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstMusicLoad, level_chip, "resource/chip.it")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstMusicLoad, fight_acid, "resource/acid.it")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstMusicLoad, credits_ending, "resource/ending.it")->Unit(benchmark::kMillisecond);

void BM_LangTextLookup(benchmark::State& state)
{
    openBenchEnvironment();
    loadLangPack("english");
    for (auto _ : state)
        benchmark::DoNotOptimize(langText(u"control", u"keypad_multiply"));
    unloadLangPack();
}
BENCHMARK(BM_LangTextLookup);

} // namespace
