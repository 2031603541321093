#pragma once
// The compiled form of a formula text.
//
// A formula is scanned and parsed once into a short list of stack instructions per
// statement; ExpressionContext runs that list as often as needed with new variable
// values (per sample of an integral, per line of a device). Running a program gives
// exactly what a one-pass evaluation of the text would give: instructions are laid
// down in the order the parser meets them, and a syntax error becomes an instruction
// at the place where it was found, so an error that a one-pass evaluation meets
// earlier (an unknown variable before a broken parenthesis) still wins.
//
// A function call keeps its raw argument text: resolvers may answer the call from
// that text at run time; only when none does, the compiled arguments run.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace voltaro {

class ExpressionContext;

class ExpressionProgram {
public:
    // Compiling never fails: errors are part of the program.
    static ExpressionProgram compile(std::string_view text);

    ExpressionProgram() = default;

    std::size_t statementCount() const { return statements_.size(); }

private:
    friend class ExpressionContext;
    friend class ExpressionCompiler;

    enum class Op : std::uint8_t {
        Push,  // value
        Load,  // variable str; error 4 at position
        Neg,
        Add,
        Sub,
        Mul,
        Div,  // error 3 at position/str
        Mod,  // error 3 at position/str
        Pow,
        Assign,   // variable str; error 5 at position
        Remove,   // variable str, pushes 0
        Call,     // function str, argc, builtin; errors 6/7 at position
        RawCall,  // function str, raw text in str2; jump when a resolver answers
        Fail,     // code, position, str
    };

    struct Instr {
        Op op = Op::Push;
        std::uint8_t argc = 0;
        std::int16_t builtin = -1;
        std::int32_t code = 0;
        std::int32_t position = 0;
        std::int32_t str = -1;
        std::int32_t str2 = -1;
        std::int32_t jump = 0;
        double value = 0.0;
        // Where Load/Assign found the name last time, valid while the context's
        // table version is unchanged.
        mutable std::uint64_t cacheVersion = 0;
        mutable std::int32_t cacheSlot = -1;
    };

    struct Statement {
        std::size_t begin = 0;
        std::size_t end = 0;
        bool assignment = false;
    };

    std::vector<Instr> code_;
    std::vector<Statement> statements_;
    std::vector<std::string> strings_;
    std::size_t maxDepth_ = 0;
};

}  // namespace voltaro
