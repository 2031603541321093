// voltaro-cli eval "EXPR" [--var NAME=VALUE ...]
//
// Evaluates a formula as the user calculations do, after storing each --var in the
// context's variable table (so they count against its 100 slots). Prints the value
// with "%.17g" and exits 0, or prints "error N: " and the message and exits 1.
// int_dt needs the graph's cursor block, which eval does not have: when that is
// why the formula failed, a note on stderr says so.

#include "platform/core/TextCodec.h"
#include "voltaro/cli/CliOutput.h"
#include "voltaro/cli/Commands.h"
#include "voltaro/graph/ExpressionContext.h"
#include "voltaro/graph/UserCalculations.h"

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace voltaro::cli {

namespace {

std::optional<double> parseNumber(const std::string& text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// Whether the error comes from int_dt finding no block: the call was not taken, so
// it failed as an unknown function or on one of the sample variables only int_dt sets.
bool failedForWantOfABlock(const std::string& expression, const ExpressionError& error) {
    if (expression.find("int_dt") == std::string::npos)
        return false;
    if (error.code == kExprUnknownFunction)
        return error.name == "int_dt";
    if (error.code != kExprUnknownVariable || error.name.size() != 1)
        return false;
    return std::string_view("TUICERtuicer").find(error.name[0]) != std::string_view::npos;
}

// "error N: " and the message as UTF-8: a name in it is held in the 8-bit code page.
void writeEvalError(const ExpressionError& error) {
    writeOut("error " + std::to_string(error.code) + ": " +
             platform::toQt(formatExpressionError(error)).toUtf8().toStdString() + "\n");
}

int usageError(const QString& text) {
    writeError(text);
    writeError(QStringLiteral("usage: voltaro-cli eval \"EXPR\" [--var NAME=VALUE ...]"));
    return 2;
}

}  // namespace

int EvalCommand(const QStringList& args) {
    std::optional<std::string> expression;
    std::vector<std::pair<std::string, double>> variables;
    for (qsizetype k = 0; k < args.size(); ++k) {
        const QString& arg = args[k];
        if (arg == QLatin1String("--var")) {
            if (k + 1 >= args.size())
                return usageError(QStringLiteral("--var needs NAME=VALUE"));
            const QString assignment = args[++k];
            const qsizetype eq = assignment.indexOf(QLatin1Char('='));
            if (eq <= 0)
                return usageError(
                    QStringLiteral("--var needs NAME=VALUE, got \"%1\"").arg(assignment));
            const std::optional<double> value =
                parseNumber(assignment.mid(eq + 1).trimmed().toStdString());
            if (!value)
                return usageError(QStringLiteral("not a number in --var \"%1\"").arg(assignment));
            variables.emplace_back(platform::fromQt(assignment.left(eq).trimmed()), *value);
            continue;
        }
        if (expression)
            return usageError(QStringLiteral("unexpected argument \"%1\"").arg(arg));
        expression = platform::fromQt(arg);
    }
    if (!expression)
        return usageError(QStringLiteral("missing the expression"));

    ExpressionContext context;
    for (const auto& [name, value] : variables) {
        if (name.empty())
            return usageError(QStringLiteral("--var needs a name"));
        if (!context.SetVariable(name, value)) {
            const ExpressionError full{kExprTooManyVariables, 0, name};
            writeEvalError(full);
            return 1;
        }
    }
    const EvalResult result = context.Evaluate(*expression);
    if (result.code != kExprOk) {
        writeEvalError(context.error());
        if (failedForWantOfABlock(*expression, context.error()))
            writeError(
                QStringLiteral("int_dt integrates over the samples of the graph's cursor "
                               "block; eval has no block, so int_dt and its variables "
                               "T, U, I, C, E and R cannot be used here"));
        return 1;
    }
    writeOut(formatGeneral(result.value, 17) + "\n");
    return 0;
}

}  // namespace voltaro::cli
