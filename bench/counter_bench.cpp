// Time per tick of each mode, and the whole count-up run, on the in-memory surface.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "counter/testing/simulated_counter.h"

namespace taborvane::testing {
namespace {

struct ModeBench {
    void (frmCountdown::*tick)();
    std::int64_t restartEvery;  // ticks before the value is reloaded, to stay clear of the 32-bit limits
};

void BM_Tick(benchmark::State& state, ModeBench mode) {
    SimulatedCounter sim;
    std::int64_t sinceRestart = 0;
    for (auto _ : state) {
        (sim.form.*mode.tick)();
        if (++sinceRestart == mode.restartEvery) {
            sim.form.txtStart_Change();
            sinceRestart = 0;
        }
    }
    benchmark::DoNotOptimize(sim.form.count());
    state.SetItemsProcessed(state.iterations());
}

void BM_SaturatedMultiplyTick(benchmark::State& state) {
    // Every product leaves the 32-bit range: each tick is a failing step.
    SimulatedCounter sim;
    for (int i = 0; i < 11; ++i) sim.form.tmrTimes_Timer();
    for (auto _ : state) sim.form.tmrTimes_Timer();
    benchmark::DoNotOptimize(sim.form.count());
    state.SetItemsProcessed(state.iterations());
}

void BM_CountUpRunToStopValue(benchmark::State& state) {
    for (auto _ : state) {
        SimulatedCounter sim;
        sim.form.Command1_Click();
        while (sim.surface.clock.deliverNextTick()) {
        }
        if (sim.form.count() != 1'000'000'036) state.SkipWithError("count up did not stop where it should");
    }
}

BENCHMARK_CAPTURE(BM_Tick, Countdown, ModeBench{&frmCountdown::tmrCountdown_Timer, 1 << 20});
BENCHMARK_CAPTURE(BM_Tick, CountUp, ModeBench{&frmCountdown::tmrCountUp_Timer, 1 << 20});
BENCHMARK_CAPTURE(BM_Tick, Divide, ModeBench{&frmCountdown::tmrDivide_Timer, 1 << 20});
BENCHMARK_CAPTURE(BM_Tick, Multiply, ModeBench{&frmCountdown::tmrTimes_Timer, 10});
BENCHMARK(BM_SaturatedMultiplyTick);
BENCHMARK(BM_CountUpRunToStopValue)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace taborvane::testing

BENCHMARK_MAIN();
