#include <benchmark/benchmark.h>

#include "core/bindingcapture.h"
#include "core/controlpad.h"

namespace {

// The whole per-frame input sample: keyboard, mouse and the nine pads.
void BM_UpdateInput(benchmark::State& state)
{
    initInput();
    for (auto _ : state)
        updateInput();
    shutdownInput();
}
BENCHMARK(BM_UpdateInput);

// The controls page's per-frame watch over every bindable input.
void BM_BindingCaptureSample(benchmark::State& state)
{
    initInput();
    BindingCapture capture;
    ControlBinding taken;
    for (auto _ : state) {
        capture.sample();
        benchmark::DoNotOptimize(capture.takeCaptured(&taken));
    }
    shutdownInput();
}
BENCHMARK(BM_BindingCaptureSample);

} // namespace
