#include <benchmark/benchmark.h>

#include "core/engine.h"
#include "core/lang.h"
#include "core/media.h"
#include "core/respack.h"

#include <SDL/SDL.h>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <filesystem>
#include <stdlib.h>
#include <string>

namespace fs = std::filesystem;

namespace {

// The deallocation log names every surface; keep it out of the benchmark report.
void freeAllQuietly()
{
    std::fflush(stdout);
    int saved = dup(STDOUT_FILENO);
    int sink = open("/dev/null", O_WRONLY);
    dup2(sink, STDOUT_FILENO);
    freeAllSurfaces();
    dup2(saved, STDOUT_FILENO);
    close(sink);
    close(saved);
}

// Sprites and effects ask for their images in every constructor: a repeated request must be
// a single table lookup among a realistic number of cached names.
void BM_RepeatedGraphicRequest(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_VIDEO);
    screenSurface = SDL_SetVideoMode(320, 240, 32, 0);
    fs::path folder = fs::temp_directory_path() / "warden-bench-media";
    fs::create_directories(folder);
    std::string image = (folder / "sprite.bmp").string();
    SDL_Surface* source = SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 16, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_SaveBMP(source, image.c_str());
    SDL_FreeSurface(source);
    initResourcePack();
    for (int i = 0; i < 200; ++i)
        createSurface(1, 1);
    loadGraphic(image, true, 0, 255, 0, false);

    for (auto _ : state)
        benchmark::DoNotOptimize(loadGraphic(image, true, 0, 255, 0, false));

    freeAllQuietly();
    cleanupResourcePack();
    fs::remove_all(folder);
    screenSurface = nullptr;
    SDL_Quit();
}
BENCHMARK(BM_RepeatedGraphicRequest);

void BM_LangTextLookup(benchmark::State& state)
{
    initResourcePack();
    loadLangPack("english");
    for (auto _ : state)
        benchmark::DoNotOptimize(langText(u"control", u"keypad_multiply"));
    unloadLangPack();
    cleanupResourcePack();
}
BENCHMARK(BM_LangTextLookup);

} // namespace
