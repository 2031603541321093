#include "voltaro/graph/ExpressionError.h"

#include <array>

namespace voltaro {

namespace {

constexpr std::array<std::string_view, 10> kTemplates = {
    "",
    "Syntax error at character %1",
    "Unbalanced parenthesis at character %1",
    "Division by zero",
    "Unknown variable '%2' at character %1",
    "Maximum number of variables exceeded",
    "Unrecognised function '%2' at character %1",
    "Wrong number of arguments to function '%2' at character %1",
    "Missing an argument of function '%2' at character %1",
    "Empty expression",
};

}  // namespace

std::string_view expressionErrorTemplate(int code) {
    if (code < 0 || code >= static_cast<int>(kTemplates.size()))
        return {};
    return kTemplates[static_cast<std::size_t>(code)];
}

std::string formatExpressionError(const ExpressionError& error) {
    const std::string_view pattern = expressionErrorTemplate(error.code);
    std::string out;
    out.reserve(pattern.size() + error.name.size() + 8);
    // One pass, so a name that itself contains "%1" is not expanded again.
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == '1') {
                out += std::to_string(error.position);
                ++i;
                continue;
            }
            if (pattern[i + 1] == '2') {
                out += error.name;
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

}  // namespace voltaro
