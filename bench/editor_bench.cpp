#include <benchmark/benchmark.h>

#include "bench/bench_env.h"
#include "core/engine.h"
#include "core/input.h"
#include "editor/systeditor.h"

#include <SDL/SDL.h>
#include <memory>
#include <string>

namespace {

// F4 with the same answer at both prompts (the size in screens across and down), and the
// frame that shows the new level.
void newLevelOf(SystEditor& editor, const std::string& screens)
{
    typeAnswers({screens, screens});
    pressKeys({SDLK_F4});
    editor.update();
    editor.draw(backBuffer);
}

// The editor on its view screen over a new level of that many screens across and down.
std::unique_ptr<SystEditor> viewEditorAt(int screens)
{
    openBenchEnvironment();
    auto editor = std::make_unique<SystEditor>();
    pressKeys({SDLK_LSHIFT, SDLK_SPACE});
    editor->update();
    newLevelOf(*editor, std::to_string(screens));
    return editor;
}

// A frame of the view editor standing still over a level of that many screens across and down.
void BM_ViewEditorFrame(benchmark::State& state)
{
    std::unique_ptr<SystEditor> editor = viewEditorAt(int(state.range(0)));
    for (auto _ : state) {
        updateInput();
        editor->update();
        editor->draw(backBuffer);
    }
}
BENCHMARK(BM_ViewEditorFrame)->Arg(15)->Arg(500)->Unit(benchmark::kMillisecond);

// F4 on the view screen, from a level of one screen: the two answers, the new level, and the
// first frame that shows it.
void BM_NewLevelOnTheViewScreen(benchmark::State& state)
{
    std::unique_ptr<SystEditor> editor = viewEditorAt(1);
    const std::string size = std::to_string(state.range(0));
    for (auto _ : state) {
        newLevelOf(*editor, size);
        state.PauseTiming();
        newLevelOf(*editor, "1");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_NewLevelOnTheViewScreen)->Arg(15)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace
