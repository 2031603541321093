#include "voltaro/graph/ExpressionProgram.h"

#include "voltaro/graph/ExpressionError.h"
#include "voltaro/graph/ExpressionFunctions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace voltaro {

namespace {

// Tokens longer than this are cut (the scan still passes the whole token).
constexpr std::size_t kMaxToken = 256;
constexpr int kMaxArguments = 10;
// Parentheses and calls nest at most this deep; deeper input is refused as a
// syntax error rather than exhausting the stack.
constexpr int kMaxNesting = 100;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isNameChar(char c) {
    return isLetter(c) || isDigit(c) || c == '_';
}
bool isNumberChar(char c) {
    return isDigit(c) || c == '.' || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 'x' ||
           c == 'X';
}
bool isDelimiter(char c) {
    return std::string_view("+-*/%^(),=").find(c) != std::string_view::npos;
}

// Scans a name starting at pos (a letter or '_'); returns the position after it and
// appends its text (blanks dropped) to out when given.
std::size_t scanName(std::string_view s, std::size_t pos, std::string* out) {
    for (;;) {
        while (pos < s.size() && isNameChar(s[pos])) {
            if (out)
                out->push_back(s[pos]);
            ++pos;
        }
        std::size_t q = pos;
        while (q < s.size() && isBlank(s[q]))
            ++q;
        if (q < s.size() && s[q] == '[') {
            int depth = 0;
            pos = q;
            do {
                const char c = s[pos++];
                if (c == '[')
                    ++depth;
                else if (c == ']')
                    --depth;
                if (!isBlank(c) && out)
                    out->push_back(c);
            } while (pos < s.size() && depth > 0);
            continue;
        }
        if (q < s.size() && s[q] == '.') {
            pos = q + 1;
            if (out)
                out->push_back('.');
            while (pos < s.size() && isBlank(s[pos]))
                ++pos;
            continue;
        }
        return pos;
    }
}

// The ")" that closes the "(" just before pos, counted the way the parser reads the
// text (a parenthesis inside a bracketed name part belongs to the name), so the raw
// argument text ends exactly where the parsed arguments end.
std::size_t findClosingParenthesis(std::string_view s, std::size_t pos) {
    int depth = 1;
    while (pos < s.size()) {
        const char c = s[pos];
        if (isLetter(c) || c == '_') {
            pos = scanName(s, pos, nullptr);
            continue;
        }
        if (isDigit(c) || c == '.') {
            while (pos < s.size() && isNumberChar(s[pos]))
                ++pos;
            continue;
        }
        if (c == '(')
            ++depth;
        else if (c == ')' && --depth == 0)
            return pos;
        ++pos;
    }
    return std::string_view::npos;
}

// "0x" followed by hexadecimal digits, or a decimal floating-point number; the whole
// token must be used.
bool convertNumber(std::string_view token, double& value) {
    if (token.size() >= 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        const std::string_view digits = token.substr(2);
        if (digits.empty())
            return false;
        const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                               std::chars_format::hex);
        return ec == std::errc() && ptr == digits.data() + digits.size();
    }
    const char* end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(token.data(), end, value, std::chars_format::general);
    if (ptr != end)
        return false;
    if (ec == std::errc::result_out_of_range) {
        // The token has no sign, so only an overflow is possible here.
        value = std::numeric_limits<double>::infinity();
        return true;
    }
    return ec == std::errc();
}

}  // namespace

class ExpressionCompiler {
public:
    explicit ExpressionCompiler(ExpressionProgram& program) : p_(program) {}

    void compileStatement(std::string_view text) {
        s_ = text;
        pos_ = 0;
        nesting_ = 0;
        depth_ = 0;
        ExpressionProgram::Statement st;
        st.begin = p_.code_.size();
        try {
            next();
            if (kind_ == Kind::End)
                fail(kExprEmpty);
            st.assignment = statement();
        } catch (const Failure& f) {
            emitFail(f);
        }
        st.end = p_.code_.size();
        p_.statements_.push_back(st);
    }

private:
    using Op = ExpressionProgram::Op;
    using Instr = ExpressionProgram::Instr;
    enum class Kind { End, Delimiter, Number, Name };

    struct Failure {
        int code;
        int position;
        std::string name;
    };
    struct Saved {
        std::size_t pos;
        Kind kind;
        std::string token;
        double number;
    };

    [[noreturn]] void fail(int code) { failNamed(code, token_); }
    [[noreturn]] void failNamed(int code, const std::string& name) {
        throw Failure{code, position(), name};
    }
    int position() const { return static_cast<int>(pos_) - 1; }

    bool isDelim(char c) const { return kind_ == Kind::Delimiter && token_[0] == c; }

    void next() {
        while (pos_ < s_.size() && isBlank(s_[pos_]))
            ++pos_;
        token_.clear();
        if (pos_ >= s_.size()) {
            kind_ = Kind::End;
            return;
        }
        const char c = s_[pos_];
        if (isDelimiter(c)) {
            kind_ = Kind::Delimiter;
            token_.push_back(c);
            ++pos_;
            return;
        }
        if (isDigit(c) || c == '.') {
            kind_ = Kind::Number;
            const std::size_t start = pos_;
            int marks = 0;
            while (pos_ < s_.size() && isNumberChar(s_[pos_])) {
                const char d = s_[pos_];
                if (d == '.' || d == 'x' || d == 'X')
                    ++marks;
                ++pos_;
            }
            token_.assign(s_.substr(start, std::min(pos_ - start, kMaxToken)));
            if (marks >= 2 || !convertNumber(token_, number_))
                fail(kExprSyntax);
            return;
        }
        if (isLetter(c) || c == '_') {
            kind_ = Kind::Name;
            pos_ = scanName(s_, pos_, &token_);
            if (token_.size() > kMaxToken)
                token_.resize(kMaxToken);
            return;
        }
        kind_ = Kind::Delimiter;
        token_.push_back(c);
        ++pos_;
        fail(kExprSyntax);
    }

    Saved save() const { return {pos_, kind_, token_, number_}; }
    void restore(const Saved& sv) {
        pos_ = sv.pos;
        kind_ = sv.kind;
        token_ = sv.token;
        number_ = sv.number;
    }

    std::int32_t intern(std::string_view text) {
        const auto [it, added] =
            interned_.try_emplace(std::string(text), static_cast<std::int32_t>(p_.strings_.size()));
        if (added)
            p_.strings_.emplace_back(text);
        return it->second;
    }

    void emit(const Instr& ins) {
        switch (ins.op) {
            case Op::Push:
            case Op::Load:
            case Op::Remove:
                ++depth_;
                break;
            case Op::Add:
            case Op::Sub:
            case Op::Mul:
            case Op::Div:
            case Op::Mod:
            case Op::Pow:
                --depth_;
                break;
            case Op::Call:
                depth_ = depth_ + 1 - ins.argc;
                break;
            default:
                break;
        }
        p_.maxDepth_ = std::max(p_.maxDepth_, depth_);
        p_.code_.push_back(ins);
    }

    void emitOp(Op op) {
        Instr ins;
        ins.op = op;
        emit(ins);
    }

    void emitFail(const Failure& f) {
        Instr ins;
        ins.op = Op::Fail;
        ins.code = f.code;
        ins.position = f.position;
        ins.str = intern(f.name);
        emit(ins);
    }

    // statement: name "=" [expression] | expression
    bool statement() {
        if (kind_ == Kind::Name) {
            const Saved sv = save();
            next();
            if (isDelim('=')) {
                const std::string name = sv.token;
                next();
                Instr ins;
                ins.str = intern(name);
                if (kind_ == Kind::End) {
                    ins.op = Op::Remove;
                    emit(ins);
                    return true;
                }
                expression();
                ins.op = Op::Assign;
                ins.position = position();
                emit(ins);
                return true;
            }
            restore(sv);
        }
        expression();
        return false;
    }

    void expression() {
        term();
        while (isDelim('+') || isDelim('-')) {
            const Op op = token_[0] == '+' ? Op::Add : Op::Sub;
            next();
            term();
            emitOp(op);
        }
    }

    void term() {
        power();
        while (isDelim('*') || isDelim('/') || isDelim('%')) {
            const char c = token_[0];
            next();
            power();
            Instr ins;
            ins.op = c == '*' ? Op::Mul : (c == '/' ? Op::Div : Op::Mod);
            if (ins.op != Op::Mul) {
                ins.position = position();
                ins.str = intern(token_);
            }
            emit(ins);
        }
    }

    // A single "^" only: 2^3^2 leaves the second "^" unread.
    void power() {
        unary();
        if (isDelim('^')) {
            next();
            unary();
            emitOp(Op::Pow);
        }
    }

    // The sign binds tighter than "^": -2^2 is (-2)^2.
    void unary() {
        if (isDelim('+') || isDelim('-')) {
            const bool negate = token_[0] == '-';
            next();
            primary();
            if (negate)
                emitOp(Op::Neg);
            return;
        }
        primary();
    }

    void primary() {
        if (isDelim('(')) {
            enterNesting();
            next();
            if (isDelim(')'))
                fail(kExprMissingArgument);
            statement();
            if (!isDelim(')'))
                fail(kExprUnbalanced);
            --nesting_;
            next();
            return;
        }
        if (kind_ == Kind::Number) {
            Instr ins;
            ins.op = Op::Push;
            ins.value = number_;
            emit(ins);
            next();
            return;
        }
        if (kind_ == Kind::Name) {
            std::size_t q = pos_;
            while (q < s_.size() && isBlank(s_[q]))
                ++q;
            if (q < s_.size() && s_[q] == '(') {
                functionCall(q);
                return;
            }
            Instr ins;
            ins.op = Op::Load;
            ins.str = intern(token_);
            ins.position = position();
            emit(ins);
            next();
            return;
        }
        fail(kExprSyntax);
    }

    void enterNesting() {
        if (++nesting_ > kMaxNesting)
            fail(kExprSyntax);
    }

    // The name is the current token; open is the index of its "(".
    void functionCall(std::size_t open) {
        const std::string name = token_;
        pos_ = open + 1;
        const std::size_t close = findClosingParenthesis(s_, pos_);
        if (close == std::string_view::npos)
            failNamed(kExprUnbalanced, name);
        enterNesting();

        Instr raw;
        raw.op = Op::RawCall;
        raw.str = intern(name);
        raw.str2 = intern(s_.substr(open + 1, close - open - 1));
        const std::size_t rawIndex = p_.code_.size();
        emit(raw);

        const std::size_t depthBefore = depth_;
        const int nestingBefore = nesting_;
        try {
            next();
            int argc = 0;
            for (;;) {
                // Named after the function, as the message text reads.
                if (isDelim(')') || isDelim(','))
                    failNamed(kExprMissingArgument, name);
                if (argc == kMaxArguments)
                    failNamed(kExprWrongArgumentCount, name);
                statement();
                ++argc;
                if (isDelim(',')) {
                    next();
                    continue;
                }
                if (isDelim(')'))
                    break;
                fail(kExprUnbalanced);
            }
            Instr call;
            call.op = Op::Call;
            call.argc = static_cast<std::uint8_t>(argc);
            call.builtin = static_cast<std::int16_t>(builtin::find(name));
            call.str = raw.str;
            call.position = position();
            emit(call);
        } catch (const Failure& f) {
            emitFail(f);
        }
        // A resolver that answers from the raw text lands here, after the arguments.
        p_.code_[rawIndex].jump = static_cast<std::int32_t>(p_.code_.size());
        depth_ = depthBefore + 1;
        p_.maxDepth_ = std::max(p_.maxDepth_, depth_);
        nesting_ = nestingBefore - 1;
        pos_ = close + 1;
        next();
    }

    ExpressionProgram& p_;
    std::string_view s_;
    std::size_t pos_ = 0;
    Kind kind_ = Kind::End;
    std::string token_;
    double number_ = 0.0;
    int nesting_ = 0;
    std::size_t depth_ = 0;
    std::unordered_map<std::string, std::int32_t> interned_;
};

ExpressionProgram ExpressionProgram::compile(std::string_view text) {
    ExpressionProgram program;
    ExpressionCompiler compiler(program);
    std::size_t start = 0;
    for (;;) {
        const std::size_t semicolon = text.find(';', start);
        if (semicolon == std::string_view::npos) {
            compiler.compileStatement(text.substr(start));
            break;
        }
        compiler.compileStatement(text.substr(start, semicolon - start));
        start = semicolon + 1;
    }
    return program;
}

}  // namespace voltaro
