#pragma once
// One evaluation environment of the formula language shared by the user formulas and
// the device definition files.
//
// Language: statements separated by ";" (the last one gives the result); a statement
// "name = expression" stores a variable, "name =" alone removes it. Expressions have
// "+ -", then "* / %", then a single "^" (2^3^2 is 8), then a sign that binds tighter
// than "^" (-2^2 is 4). Numbers are decimal (2e3) or "0x" hexadecimal; names may carry
// bracketed and dotted parts ("U[V]", "Block.U") and compare without case. Function
// names match with case. Errors abort at once with a code 1..9 (ExpressionError.h).
//
// Unknown variables and functions are asked of the resolvers in order; a resolver may
// also answer a call from its raw argument text before the arguments are evaluated.
// The variable table has 100 slots.
//
// For a formula run many times (per sample, per received line), compile it once with
// ExpressionProgram::compile and pass the program to Evaluate; a new context per run
// is cheap. Programs cache where they found names, so one program is not run from
// two threads at once.

#include "voltaro/graph/ExpressionError.h"
#include "voltaro/graph/ExpressionProgram.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace voltaro {

class ExpressionContext;

// Answers what a context does not know itself; std::nullopt declines the question.
class ExpressionResolver {
public:
    virtual ~ExpressionResolver() = default;

    virtual std::optional<double> resolveVariable(ExpressionContext& context,
                                                  std::string_view name);
    virtual std::optional<double> resolveFunction(ExpressionContext& context, std::string_view name,
                                                  std::span<const double> arguments);
    // rawArguments is the text between the call's parentheses, unparsed.
    virtual std::optional<double> resolveRawFunction(ExpressionContext& context,
                                                     std::string_view name,
                                                     std::string_view rawArguments);
};

struct EvalResult {
    int code = kExprOk;
    // The last completed statement's value; 0 when none completed.
    double value = 0.0;
    // The last statement evaluated was an assignment (or a removal).
    bool assignment = false;
};

class ExpressionContext {
public:
    static constexpr int kMaxVariables = 100;
    static constexpr std::size_t kMaxNameLength = 256;

    explicit ExpressionContext(ExpressionContext* parent = nullptr);
    ExpressionContext(const ExpressionContext&) = delete;
    ExpressionContext& operator=(const ExpressionContext&) = delete;

    ExpressionContext* parent() const { return parent_; }

    // Resolvers are asked in the order added; the context does not own them.
    void addResolver(ExpressionResolver* resolver);

    EvalResult Evaluate(std::string_view text);
    // Runs a program compiled once; the same result as evaluating its text.
    EvalResult Evaluate(const ExpressionProgram& program);

    const ExpressionError& error() const { return error_; }

    // Stores the value under the name (names longer than 256 characters are cut),
    // replacing a variable of that name; false when the name is empty or all 100
    // slots are taken.
    bool SetVariable(std::string_view name, double value);
    void RemoveVariable(std::string_view name);

    // A name stored again and again (per sample): after the first store, further
    // stores write the slot directly while the table keeps its shape.
    class VariableRef {
    public:
        explicit VariableRef(std::string name) : name_(std::move(name)) {}

    private:
        friend class ExpressionContext;
        std::string name_;
        int slot_ = -1;
        std::uint64_t version_ = 0;
    };
    bool SetVariable(VariableRef& ref, double value) {
        if (ref.version_ == version_ && ref.slot_ >= 0) {
            slots_[static_cast<std::size_t>(ref.slot_)].value = value;
            return true;
        }
        return storeByRef(ref, value);
    }

    // The own table only.
    std::optional<double> variable(std::string_view name) const;
    int variableCount() const;

    // The own table, then the resolvers: what a formula in this context would read.
    std::optional<double> lookupVariable(std::string_view name);
    // The resolvers' answer to a call with evaluated arguments (built-ins excluded).
    std::optional<double> resolveFunction(std::string_view name, std::span<const double> arguments);

private:
    struct Slot {
        std::string name;  // empty: free
        double value = 0.0;
    };

    bool storeByRef(VariableRef& ref, double value);
    int findSlot(std::string_view name) const;
    int slotFor(const ExpressionProgram::Instr& ins, std::string_view name) const;
    bool execute(const ExpressionProgram& program, const ExpressionProgram::Statement& st,
                 double* stack, double& value);
    void setError(int code, int position, std::string_view name);
    void touch();

    ExpressionContext* parent_;
    std::vector<ExpressionResolver*> resolvers_;
    std::vector<Slot> slots_;  // grows up to kMaxVariables
    int used_ = 0;
    // Changes whenever a name gets or loses a slot; unique across all contexts, so a
    // program's cached slot is valid only in the context and state that filled it.
    std::uint64_t version_;
    ExpressionError error_;
};

}  // namespace voltaro
