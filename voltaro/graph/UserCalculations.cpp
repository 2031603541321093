#include "voltaro/graph/UserCalculations.h"

#include <array>
#include <charconv>
#include <utility>

namespace voltaro {

namespace {

std::string_view trim(std::string_view s) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = s.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = s.find_last_not_of(kSpace);
    return s.substr(first, last - first + 1);
}

// Splits at the first two commas outside parentheses; the third part keeps the
// rest. Missing parts are empty.
std::array<std::string_view, 3> splitIntegralArguments(std::string_view raw) {
    std::array<std::string_view, 3> parts;
    std::size_t part = 0;
    std::size_t start = 0;
    int depth = 0;
    for (std::size_t i = 0; i < raw.size() && part < 2; ++i) {
        const char c = raw[i];
        if (c == '(')
            ++depth;
        else if (c == ')')
            --depth;
        else if (c == ',' && depth == 0) {
            parts[part++] = trim(raw.substr(start, i - start));
            start = i + 1;
        }
    }
    parts[part] = trim(raw.substr(start));
    return parts;
}

class RestoreCursorBlock {
public:
    RestoreCursorBlock(UserCalculations& calc, const SampleSource* block)
        : calc_(calc), previous_(calc.cursorBlock()) {
        calc_.setCursorBlock(block);
    }
    ~RestoreCursorBlock() { calc_.setCursorBlock(previous_); }
    RestoreCursorBlock(const RestoreCursorBlock&) = delete;
    RestoreCursorBlock& operator=(const RestoreCursorBlock&) = delete;

private:
    UserCalculations& calc_;
    const SampleSource* previous_;
};

}  // namespace

std::string formatGeneral(double value, int precision) {
    char buffer[64];
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    if (ec != std::errc())
        return {};
    return std::string(buffer, ptr);
}

std::string UserCalculations::resultText(std::string_view formula, const EvalResult& result) {
    if (formula.empty())
        return "n/a";
    if (result.code != kExprOk)
        return "error";
    return formatGeneral(result.value, 5);
}

UserCalcDisplay UserCalculations::RecalcUserCalculations(const UserFormulas* document,
                                                         const SampleSource* cursorBlock,
                                                         bool normalized) {
    UserCalcDisplay display;
    display.title1 =
        document && !document->m_strTitle1.empty() ? document->m_strTitle1 : std::string(kUntitled);
    display.title2 =
        document && !document->m_strTitle2.empty() ? document->m_strTitle2 : std::string(kUntitled);
    if (!cursorBlock)
        return display;
    display.namesShown = true;
    display.sessionName = cursorBlock->sessionName();
    display.blockName = cursorBlock->blockName();
    if (!document)
        return display;

    RestoreCursorBlock scope(*this, cursorBlock);
    ExpressionContext context;
    context.addResolver(this);

    // A block without samples has no sample at T1 or T2: its variables stay unset,
    // so formulas that use them show "error" and the others still evaluate.
    if (cursorBlock->sampleCount() > 0) {
        const auto sampleAt = [&](double& t) {
            if (normalized)
                return cursorBlock->sampleAt(cursorBlock->indexAtPercent(t));
            const SampleValues s = cursorBlock->sampleAt(cursorBlock->indexAtTime(t));
            t = s.T;
            return s;
        };
        const SampleValues a = sampleAt(m_t1);
        const SampleValues b = sampleAt(m_t2);
        const std::pair<const char*, double> variables[] = {
            {"T1", a.T},       {"U1", a.U},       {"I1", a.I},       {"C1", a.C},
            {"E1", a.E},       {"R1", a.R},       {"T2", b.T},       {"U2", b.U},
            {"I2", b.I},       {"C2", b.C},       {"E2", b.E},       {"R2", b.R},
            {"dT", b.T - a.T}, {"dU", b.U - a.U}, {"dI", b.I - a.I}, {"dC", b.C - a.C},
            {"dE", b.E - a.E}, {"dR", b.R - a.R},
        };
        for (const auto& [name, value] : variables)
            context.SetVariable(name, value);
    }

    // One context for both, so formula 2 sees what formula 1 assigned.
    const EvalResult r1 =
        document->m_strFormula1.empty() ? EvalResult{} : context.Evaluate(document->m_strFormula1);
    const EvalResult r2 =
        document->m_strFormula2.empty() ? EvalResult{} : context.Evaluate(document->m_strFormula2);
    display.resultsShown = true;
    display.result1 = resultText(document->m_strFormula1, r1);
    display.result2 = resultText(document->m_strFormula2, r2);
    return display;
}

std::optional<double> UserCalculations::resolveVariable(ExpressionContext& context,
                                                        std::string_view name) {
    if (ExpressionContext* parent = context.parent())
        return parent->lookupVariable(name);
    return std::nullopt;
}

std::optional<double> UserCalculations::resolveFunction(ExpressionContext& context,
                                                        std::string_view name,
                                                        std::span<const double> arguments) {
    if (ExpressionContext* parent = context.parent())
        return parent->resolveFunction(name, arguments);
    return std::nullopt;
}

std::optional<double> UserCalculations::resolveRawFunction(ExpressionContext& context,
                                                           std::string_view name,
                                                           std::string_view rawArguments) {
    // Only at the outermost level: an int_dt inside an integrand is not answered.
    if (name != "int_dt" || context.parent() != nullptr)
        return std::nullopt;
    return integrate(context, rawArguments);
}

std::optional<double> UserCalculations::integrate(ExpressionContext& context,
                                                  std::string_view rawArguments) {
    const auto parts = splitIntegralArguments(rawArguments);
    if (parts[0].empty())
        return std::nullopt;

    ExpressionContext nested(&context);
    nested.addResolver(this);
    double lower = -1e300;
    double upper = 1e300;
    for (int k = 1; k <= 2; ++k) {
        if (parts[static_cast<std::size_t>(k)].empty())
            continue;
        const EvalResult bound = nested.Evaluate(parts[static_cast<std::size_t>(k)]);
        if (bound.code != kExprOk)
            return std::nullopt;
        (k == 1 ? lower : upper) = bound.value;
    }
    const SampleSource* block = m_cursorBlock;
    if (!block)
        return std::nullopt;
    const bool swapped = lower > upper;
    if (swapped)
        std::swap(lower, upper);

    // An empty block has no sample in any interval.
    const std::size_t count = block->sampleCount();
    const std::size_t start = count > 0 ? block->indexAtTime(lower) : 0;

    const ExpressionProgram integrand = ExpressionProgram::compile(parts[0]);
    ExpressionContext::VariableRef vT("T"), vU("U"), vI("I"), vC("C"), vE("E"), vR("R");
    double sum = 0.0;
    double fPrevious = 0.0;
    double tPrevious = 0.0;
    bool first = true;
    std::array<SampleValues, 256> chunk;
    for (std::size_t i = start; i < count;) {
        const std::size_t n = block->readSamples(i, chunk);
        if (n == 0)
            break;
        i += n;
        for (std::size_t k = 0; k < n; ++k) {
            const SampleValues& s = chunk[k];
            if (s.T > upper)
                return swapped ? -sum : sum;
            nested.SetVariable(vT, s.T);
            nested.SetVariable(vU, s.U);
            nested.SetVariable(vI, s.I);
            nested.SetVariable(vC, s.C);
            nested.SetVariable(vE, s.E);
            nested.SetVariable(vR, s.R);
            const EvalResult r = nested.Evaluate(integrand);
            if (r.code != kExprOk)
                return std::nullopt;
            if (!first)
                sum += (r.value + fPrevious) / 2 * (s.T - tPrevious);
            fPrevious = r.value;
            tPrevious = s.T;
            first = false;
        }
    }
    return swapped ? -sum : sum;
}

}  // namespace voltaro
