#include <benchmark/benchmark.h>

#include "bench/bench_env.h"
#include "core/engine.h"
#include "core/input.h"
#include "editor/systeditor.h"

#include <SDL/SDL.h>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr double MiB = 1024.0 * 1024.0;

// F4 with the same answer at both prompts (the size in screens across and down).
void askForNewLevel(SystEditor& editor, const std::string& screens)
{
    typeAnswers({screens, screens});
    pressKeys({SDLK_F4});
    editor.update();
}

// F4 and the frame that shows the new level.
void newLevelOf(SystEditor& editor, const std::string& screens)
{
    askForNewLevel(editor, screens);
    editor.draw(backBuffer);
}

// Shift + Space goes between the room editor and the view screen.
void toggleViewScreen(SystEditor& editor)
{
    pressKeys({SDLK_LSHIFT, SDLK_SPACE});
    editor.update();
}

// The dummy video driver has no mouse: the button is handed in as the window would hand it.
void clickWithLeftButton(SystEditor& editor)
{
    updateInput();
    SDL_Event down{};
    down.type = SDL_MOUSEBUTTONDOWN;
    down.button.button = SDL_BUTTON_LEFT;
    handleInputEvent(down);
    editor.update();
}

// The editor on its view screen over a new level of that many screens across and down.
std::unique_ptr<SystEditor> viewEditorAt(int screens)
{
    openBenchEnvironment();
    auto editor = std::make_unique<SystEditor>();
    toggleViewScreen(*editor);
    newLevelOf(*editor, std::to_string(screens));
    return editor;
}

// Heap bytes in use, whether from the arena or mapped on their own.
double heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

// Bytes of the process that are in memory: pages never written (zeroed tiles) do not count.
double residentBytes()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

// A frame of the view editor standing still over a level of that many screens across and down,
// with what the editor holds once it has shown that level: its heap, and what of it is resident.
void BM_ViewEditorFrame(benchmark::State& state)
{
    openBenchEnvironment();
    const double heapBefore = heapInUse(), residentBefore = residentBytes();
    std::unique_ptr<SystEditor> editor = viewEditorAt(int(state.range(0)));
    state.counters["heap_MiB"] = (heapInUse() - heapBefore) / MiB;
    state.counters["resident_MiB"] = (residentBytes() - residentBefore) / MiB;
    for (auto _ : state) {
        updateInput();
        editor->update();
        editor->draw(backBuffer);
    }
}
BENCHMARK(BM_ViewEditorFrame)->Arg(15)->Arg(500)->Unit(benchmark::kMillisecond);

// The first frame of the view screen after F4 made a level of that size (from a level of one
// screen); F4 itself is not timed.
void BM_FirstViewFrameAfterNewLevel(benchmark::State& state)
{
    std::unique_ptr<SystEditor> editor = viewEditorAt(1);
    const std::string size = std::to_string(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        askForNewLevel(*editor, size);
        state.ResumeTiming();
        editor->draw(backBuffer);
        state.PauseTiming();
        newLevelOf(*editor, "1");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstViewFrameAfterNewLevel)->Arg(15)->Arg(500)->Unit(benchmark::kMillisecond);

// The first frame of the view screen after a tile was painted in the room editor; the trip
// there and back is not timed.
void BM_FirstViewFrameAfterEdit(benchmark::State& state)
{
    std::unique_ptr<SystEditor> editor = viewEditorAt(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        toggleViewScreen(*editor);
        clickWithLeftButton(*editor);
        toggleViewScreen(*editor);
        state.ResumeTiming();
        editor->draw(backBuffer);
    }
}
BENCHMARK(BM_FirstViewFrameAfterEdit)->Arg(15)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace
