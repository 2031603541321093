// Feeds arbitrary formula text to the evaluator, with the user-calculation resolver
// and a small cursor block so int_dt runs too. Beyond not crashing: every error has
// a known code and text, and a program compiled once gives on every run exactly what
// evaluating the text gives in an identical context.
#include "voltaro/graph/ExpressionContext.h"
#include "voltaro/graph/UserCalculations.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

using namespace voltaro;

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool sameValue(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

void prepare(ExpressionContext& context, UserCalculations& calc, int run) {
    context.addResolver(&calc);
    check(context.SetVariable("T1", 1));
    check(context.SetVariable("T2", 4));
    check(context.SetVariable("dT", 3));
    check(context.SetVariable("x", run));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    SampleTable block("S", "B");
    for (int t = 0; t <= 5; ++t)
        block.append(static_cast<float>(t), 12.0f - static_cast<float>(t) * 0.1f, 2.0f);
    UserCalculations calc;
    calc.setCursorBlock(&block);

    const ExpressionProgram program = ExpressionProgram::compile(text);
    ExpressionContext compiled;
    ExpressionContext fresh;
    prepare(compiled, calc, 0);
    prepare(fresh, calc, 0);
    for (int run = 0; run < 3; ++run) {
        check(compiled.SetVariable("x", run));
        check(fresh.SetVariable("x", run));
        const EvalResult a = compiled.Evaluate(program);
        const EvalResult b = fresh.Evaluate(text);
        check(a.code >= kExprOk && a.code <= kExprEmpty);
        check(a.code == b.code);
        check(a.code == compiled.error().code);
        check(a.assignment == b.assignment);
        check(sameValue(a.value, b.value));
        check(compiled.error().position == fresh.error().position);
        check(compiled.error().name == fresh.error().name);
        check(compiled.error().name.size() <= 256);
        check(a.code == kExprOk || !formatExpressionError(compiled.error()).empty());
        check(compiled.variableCount() <= ExpressionContext::kMaxVariables);
    }
    return 0;
}
