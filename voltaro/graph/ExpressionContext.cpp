#include "voltaro/graph/ExpressionContext.h"

#include "voltaro/graph/ExpressionFunctions.h"

#include <atomic>
#include <cmath>
#include <memory>

namespace voltaro {

namespace {

std::uint64_t nextVersion() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

std::string_view cutName(std::string_view name) {
    return name.substr(0, ExpressionContext::kMaxNameLength);
}

}  // namespace

std::optional<double> ExpressionResolver::resolveVariable(ExpressionContext&, std::string_view) {
    return std::nullopt;
}

std::optional<double> ExpressionResolver::resolveFunction(ExpressionContext&, std::string_view,
                                                          std::span<const double>) {
    return std::nullopt;
}

std::optional<double> ExpressionResolver::resolveRawFunction(ExpressionContext&, std::string_view,
                                                             std::string_view) {
    return std::nullopt;
}

ExpressionContext::ExpressionContext(ExpressionContext* parent)
    : parent_(parent), version_(nextVersion()) {}

void ExpressionContext::addResolver(ExpressionResolver* resolver) {
    if (resolver)
        resolvers_.push_back(resolver);
}

void ExpressionContext::touch() {
    version_ = nextVersion();
}

int ExpressionContext::findSlot(std::string_view name) const {
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (!slots_[i].name.empty() && sameName(slots_[i].name, name))
            return static_cast<int>(i);
    return -1;
}

bool ExpressionContext::SetVariable(std::string_view name, double value) {
    name = cutName(name);
    if (name.empty())
        return false;
    // Replacing in place is the same as removing and storing in the first free
    // slot: which slot a name occupies cannot be observed.
    const int existing = findSlot(name);
    if (existing >= 0) {
        Slot& slot = slots_[static_cast<std::size_t>(existing)];
        slot.name.assign(name);
        slot.value = value;
        return true;
    }
    if (used_ >= kMaxVariables)
        return false;
    std::size_t free = 0;
    while (free < slots_.size() && !slots_[free].name.empty())
        ++free;
    if (free == slots_.size())
        slots_.emplace_back();
    slots_[free].name.assign(name);
    slots_[free].value = value;
    ++used_;
    touch();
    return true;
}

bool ExpressionContext::storeByRef(VariableRef& ref, double value) {
    if (!SetVariable(ref.name_, value)) {
        ref.slot_ = -1;
        return false;
    }
    ref.slot_ = findSlot(cutName(ref.name_));
    ref.version_ = version_;
    return true;
}

void ExpressionContext::RemoveVariable(std::string_view name) {
    const int slot = findSlot(cutName(name));
    if (slot < 0)
        return;
    slots_[static_cast<std::size_t>(slot)].name.clear();
    slots_[static_cast<std::size_t>(slot)].value = 0.0;
    --used_;
    touch();
}

std::optional<double> ExpressionContext::variable(std::string_view name) const {
    const int slot = findSlot(cutName(name));
    if (slot < 0)
        return std::nullopt;
    return slots_[static_cast<std::size_t>(slot)].value;
}

int ExpressionContext::variableCount() const {
    return used_;
}

std::optional<double> ExpressionContext::lookupVariable(std::string_view name) {
    if (auto own = variable(name))
        return own;
    for (ExpressionResolver* r : resolvers_)
        if (auto v = r->resolveVariable(*this, name))
            return v;
    return std::nullopt;
}

std::optional<double> ExpressionContext::resolveFunction(std::string_view name,
                                                         std::span<const double> arguments) {
    for (ExpressionResolver* r : resolvers_)
        if (auto v = r->resolveFunction(*this, name, arguments))
            return v;
    return std::nullopt;
}

void ExpressionContext::setError(int code, int position, std::string_view name) {
    error_.code = code;
    error_.position = position;
    error_.name.assign(name);
}

int ExpressionContext::slotFor(const ExpressionProgram::Instr& ins, std::string_view name) const {
    if (ins.cacheVersion != version_) {
        ins.cacheSlot = findSlot(name);
        ins.cacheVersion = version_;
    }
    return ins.cacheSlot;
}

EvalResult ExpressionContext::Evaluate(std::string_view text) {
    return Evaluate(ExpressionProgram::compile(text));
}

EvalResult ExpressionContext::Evaluate(const ExpressionProgram& program) {
    error_.code = kExprOk;
    error_.position = 0;
    error_.name.clear();
    EvalResult result;
    // Per run, so a resolver may evaluate again in this context while it runs.
    constexpr std::size_t kLocalStack = 32;
    double local[kLocalStack];
    std::unique_ptr<double[]> heap;
    double* stack = local;
    if (program.maxDepth_ > kLocalStack) {
        heap = std::make_unique<double[]>(program.maxDepth_);
        stack = heap.get();
    }
    for (const auto& st : program.statements_) {
        double value = 0.0;
        if (!execute(program, st, stack, value)) {
            result.code = error_.code;
            return result;
        }
        result.value = value;
        result.assignment = st.assignment;
    }
    // A resolver may have evaluated in this context meanwhile and left its error.
    if (error_.code != kExprOk)
        error_ = ExpressionError{};
    return result;
}

bool ExpressionContext::execute(const ExpressionProgram& program,
                                const ExpressionProgram::Statement& st, double* stack,
                                double& value) {
    using Op = ExpressionProgram::Op;
    const auto& code = program.code_;
    const auto& strings = program.strings_;
    std::size_t top = 0;  // number of values on the stack
    std::size_t ip = st.begin;
    while (ip < st.end) {
        const auto& ins = code[ip];
        switch (ins.op) {
            case Op::Push:
                stack[top++] = ins.value;
                break;
            case Op::Load: {
                const std::string& name = strings[static_cast<std::size_t>(ins.str)];
                const int slot = slotFor(ins, name);
                if (slot >= 0) {
                    stack[top++] = slots_[static_cast<std::size_t>(slot)].value;
                    break;
                }
                std::optional<double> v;
                for (ExpressionResolver* r : resolvers_)
                    if ((v = r->resolveVariable(*this, name)))
                        break;
                if (!v) {
                    setError(kExprUnknownVariable, ins.position, name);
                    return false;
                }
                stack[top++] = *v;
                break;
            }
            case Op::Neg:
                stack[top - 1] = -stack[top - 1];
                break;
            case Op::Add:
                --top;
                stack[top - 1] = stack[top - 1] + stack[top];
                break;
            case Op::Sub:
                --top;
                stack[top - 1] = stack[top - 1] - stack[top];
                break;
            case Op::Mul:
                --top;
                stack[top - 1] = stack[top - 1] * stack[top];
                break;
            case Op::Div:
            case Op::Mod:
                --top;
                if (stack[top] == 0.0) {
                    setError(kExprDivisionByZero, ins.position,
                             strings[static_cast<std::size_t>(ins.str)]);
                    return false;
                }
                stack[top - 1] = ins.op == Op::Div ? stack[top - 1] / stack[top]
                                                   : std::fmod(stack[top - 1], stack[top]);
                break;
            case Op::Pow:
                --top;
                stack[top - 1] = std::pow(stack[top - 1], stack[top]);
                break;
            case Op::Assign: {
                const std::string& name = strings[static_cast<std::size_t>(ins.str)];
                const int slot = slotFor(ins, name);
                if (slot >= 0) {
                    slots_[static_cast<std::size_t>(slot)].value = stack[top - 1];
                } else if (!SetVariable(name, stack[top - 1])) {
                    setError(kExprTooManyVariables, ins.position, name);
                    return false;
                }
                break;
            }
            case Op::Remove:
                RemoveVariable(strings[static_cast<std::size_t>(ins.str)]);
                stack[top++] = 0.0;
                break;
            case Op::RawCall: {
                if (!resolvers_.empty()) {
                    const std::string& name = strings[static_cast<std::size_t>(ins.str)];
                    const std::string& raw = strings[static_cast<std::size_t>(ins.str2)];
                    std::optional<double> v;
                    for (ExpressionResolver* r : resolvers_)
                        if ((v = r->resolveRawFunction(*this, name, raw)))
                            break;
                    if (v) {
                        stack[top++] = *v;
                        ip = static_cast<std::size_t>(ins.jump);
                        continue;
                    }
                }
                break;
            }
            case Op::Call: {
                const std::string& name = strings[static_cast<std::size_t>(ins.str)];
                const std::size_t argc = ins.argc;
                double* args = stack + (top - argc);
                std::optional<double> v;
                for (ExpressionResolver* r : resolvers_)
                    if ((v = r->resolveFunction(*this, name, std::span<const double>(args, argc))))
                        break;
                if (!v) {
                    if (ins.builtin < 0) {
                        setError(kExprUnknownFunction, ins.position, name);
                        return false;
                    }
                    if (static_cast<std::size_t>(builtin::arity(ins.builtin)) != argc) {
                        setError(kExprWrongArgumentCount, ins.position, name);
                        return false;
                    }
                    v = builtin::call(ins.builtin, args);
                }
                top -= argc;
                stack[top++] = *v;
                break;
            }
            case Op::Fail:
                setError(ins.code, ins.position, strings[static_cast<std::size_t>(ins.str)]);
                return false;
        }
        ++ip;
    }
    value = top > 0 ? stack[top - 1] : 0.0;
    return true;
}

}  // namespace voltaro
