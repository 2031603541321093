#pragma once
// Error codes of the expression evaluator and their message texts.

#include <string>
#include <string_view>

namespace voltaro {

enum ExpressionErrorCode : int {
    kExprOk = 0,
    kExprSyntax = 1,
    kExprUnbalanced = 2,
    kExprDivisionByZero = 3,
    kExprUnknownVariable = 4,
    kExprTooManyVariables = 5,
    kExprUnknownFunction = 6,
    kExprWrongArgumentCount = 7,
    kExprMissingArgument = 8,
    kExprEmpty = 9,
};

// The first error of an evaluation. The position is the scan position within the
// statement minus one (the index of the last character read when the error struck);
// the name is the token being read, or the function's name for codes 6 and 7.
struct ExpressionError {
    int code = kExprOk;
    int position = 0;
    std::string name;
};

// String-table number of an error's text: 5100 + code.
constexpr int expressionErrorStringId(int code) {
    return 5100 + code;
}

// The text with its placeholders: %1 the position, %2 the name. Empty for code 0 or
// a code outside 1..9.
std::string_view expressionErrorTemplate(int code);

// The text with %1 and %2 filled in.
std::string formatExpressionError(const ExpressionError& error);

}  // namespace voltaro
