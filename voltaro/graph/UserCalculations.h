#pragma once
// The core of the user-calculation bar: the measurement interval T1 ... T2, the
// variables offered to the two user formulas, int_dt, and the recalculation that
// turns both formulas into the texts the bar shows.

#include "voltaro/graph/ExpressionContext.h"
#include "voltaro/graph/SampleSource.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace voltaro {

// The document's two formulas and their titles.
struct UserFormulas {
    std::string m_strFormula1;
    std::string m_strFormula2;
    std::string m_strTitle1;
    std::string m_strTitle2;
};

// What the bar shows after a recalculation. Fields whose flag is false keep what
// the bar showed before.
struct UserCalcDisplay {
    std::string title1;  // label 1106
    std::string title2;  // label 1107
    bool namesShown = false;
    std::string sessionName;  // label 1112
    std::string blockName;    // label 1098
    bool resultsShown = false;
    std::string result1;  // edit 1058
    std::string result2;  // edit 1060
};

class UserCalculations : public ExpressionResolver {
public:
    // The caption of a formula without a title.
    static constexpr std::string_view kUntitled = "User Calculation";

    // The measurement interval: seconds, or percent of the block in normalized mode.
    void setInterval(double t1, double t2) {
        m_t1 = t1;
        m_t2 = t2;
    }
    double t1() const { return m_t1; }
    double t2() const { return m_t2; }

    // The block int_dt integrates over; no block: int_dt is not answered.
    void setCursorBlock(const SampleSource* block) { m_cursorBlock = block; }
    const SampleSource* cursorBlock() const { return m_cursorBlock; }

    // Both formulas over the cursor block. document null: no document; cursorBlock
    // null: no cursor block. In time mode T1 and T2 move onto sample times.
    UserCalcDisplay RecalcUserCalculations(const UserFormulas* document,
                                           const SampleSource* cursorBlock, bool normalized);

    // The text for one formula: "n/a" when empty, "error" on any error, else "%.5g".
    static std::string resultText(std::string_view formula, const EvalResult& result);

    // Resolver: unknown names go to the parent context; int_dt at the outermost level.
    std::optional<double> resolveVariable(ExpressionContext& context,
                                          std::string_view name) override;
    std::optional<double> resolveFunction(ExpressionContext& context, std::string_view name,
                                          std::span<const double> arguments) override;
    std::optional<double> resolveRawFunction(ExpressionContext& context, std::string_view name,
                                             std::string_view rawArguments) override;

private:
    std::optional<double> integrate(ExpressionContext& context, std::string_view rawArguments);

    double m_t1 = 0.0;
    double m_t2 = 0.0;
    const SampleSource* m_cursorBlock = nullptr;
};

// printf "%.<precision>g" in the "C" locale, whatever the user's locale.
std::string formatGeneral(double value, int precision);

}  // namespace voltaro
