// Speed of the expression evaluator.
//
// The goal: int_dt(U*I, T1, T2) over 1,000,000 samples within 50 ms, through the
// whole recalculation the user-calculation bar runs.

#include "voltaro/graph/ExpressionContext.h"
#include "voltaro/graph/UserCalculations.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using namespace voltaro;

SampleTable makeBlock(std::size_t count) {
    SampleTable block("Session1", "Bench");
    block.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const float t = static_cast<float>(k) * 0.1f;
        block.append(t, 12.0f + 0.5f * std::sin(t * 0.01f), 2.0f + std::cos(t * 0.003f), 0, 0,
                     1000.0f);
    }
    return block;
}

void BM_IntDtRecalculation(benchmark::State& state) {
    const SampleTable block = makeBlock(static_cast<std::size_t>(state.range(0)));
    UserCalculations calc;
    const UserFormulas doc{"int_dt(U*I, T1, T2)", "", "Energy", ""};
    for (auto _ : state) {
        calc.setInterval(0, 1e9);
        UserCalcDisplay d = calc.RecalcUserCalculations(&doc, &block, false);
        if (d.result1 == "error")
            state.SkipWithError("int_dt failed");
        benchmark::DoNotOptimize(d);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_IntDtRecalculation)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A definition-file expression compiled once and run for each received line.
void BM_CompiledPerLine(benchmark::State& state) {
    const ExpressionProgram program = ExpressionProgram::compile("u/1000 + hypot(i, r)*0");
    double u = 12000;
    for (auto _ : state) {
        ExpressionContext context;
        context.SetVariable("u", u);
        context.SetVariable("i", 1500);
        context.SetVariable("r", 0);
        const EvalResult r = context.Evaluate(program);
        benchmark::DoNotOptimize(r);
        u += 1;
    }
}
BENCHMARK(BM_CompiledPerLine);

// The same expression scanned and parsed anew each time, for comparison.
void BM_TextPerLine(benchmark::State& state) {
    double u = 12000;
    for (auto _ : state) {
        ExpressionContext context;
        context.SetVariable("u", u);
        context.SetVariable("i", 1500);
        context.SetVariable("r", 0);
        const EvalResult r = context.Evaluate("u/1000 + hypot(i, r)*0");
        benchmark::DoNotOptimize(r);
        u += 1;
    }
}
BENCHMARK(BM_TextPerLine);

}  // namespace
