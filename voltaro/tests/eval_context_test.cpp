// The context around the language: the 100-slot variable table, resolvers and
// parent lookups, raw-text calls, and compiled programs run again and again.

#include "voltaro/graph/ExpressionContext.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace voltaro {
namespace {

TEST(VariableTable, HoldsOneHundredNamesThenRefuses) {
    ExpressionContext context;
    for (int i = 0; i < ExpressionContext::kMaxVariables; ++i)
        ASSERT_TRUE(context.SetVariable("v" + std::to_string(i), i)) << i;
    EXPECT_EQ(context.variableCount(), 100);
    EXPECT_FALSE(context.SetVariable("one_more", 1));
    // Replacing a stored name needs no new slot.
    EXPECT_TRUE(context.SetVariable("V7", 70));
    EXPECT_EQ(context.variable("v7"), 70);
    // A formula's assignment fails the same way, with code 5.
    EXPECT_EQ(context.Evaluate("w=1").code, kExprTooManyVariables);
    EXPECT_EQ(context.Evaluate("v3=33; v3").value, 33);
    // A removed name frees its slot for the next one.
    context.RemoveVariable("V50");
    EXPECT_FALSE(context.variable("v50").has_value());
    EXPECT_TRUE(context.SetVariable("one_more", 1));
    EXPECT_FALSE(context.SetVariable("two_more", 2));
    EXPECT_EQ(context.Evaluate("v49 + one_more").value, 50);
}

TEST(VariableTable, EmptyNameIsNotStored) {
    ExpressionContext context;
    EXPECT_FALSE(context.SetVariable("", 1));
    EXPECT_EQ(context.variableCount(), 0);
}

TEST(VariableTable, RemovalByFormulaFreesASlot) {
    ExpressionContext context;
    for (int i = 0; i < ExpressionContext::kMaxVariables; ++i)
        ASSERT_TRUE(context.SetVariable("v" + std::to_string(i), i));
    EXPECT_EQ(context.Evaluate("V0=").code, kExprOk);
    EXPECT_EQ(context.variableCount(), 99);
    const EvalResult r = context.Evaluate("fresh = 5; fresh * 2");
    EXPECT_EQ(r.code, kExprOk);
    EXPECT_EQ(r.value, 10);
}

// A resolver with fixed answers that records the questions it was asked.
class TableResolver : public ExpressionResolver {
public:
    std::map<std::string, double> variables;
    std::map<std::string, double> functions;     // answers any argument list
    std::map<std::string, double> rawFunctions;  // answers any raw text
    std::vector<std::string> asked;

    std::optional<double> resolveVariable(ExpressionContext&, std::string_view name) override {
        asked.push_back("var " + std::string(name));
        const auto it = variables.find(std::string(name));
        return it == variables.end() ? std::nullopt : std::optional<double>(it->second);
    }
    std::optional<double> resolveFunction(ExpressionContext&, std::string_view name,
                                          std::span<const double> args) override {
        std::string q = "fn " + std::string(name);
        for (double a : args)
            q += " " + std::to_string(static_cast<int>(a));
        asked.push_back(q);
        const auto it = functions.find(std::string(name));
        return it == functions.end() ? std::nullopt : std::optional<double>(it->second);
    }
    std::optional<double> resolveRawFunction(ExpressionContext&, std::string_view name,
                                             std::string_view raw) override {
        asked.push_back("raw " + std::string(name) + " [" + std::string(raw) + "]");
        const auto it = rawFunctions.find(std::string(name));
        return it == rawFunctions.end() ? std::nullopt : std::optional<double>(it->second);
    }
};

TEST(Resolvers, OwnTableFirstThenResolversInOrder) {
    TableResolver first;
    TableResolver second;
    first.variables["p"] = 1;
    second.variables["p"] = 2;
    second.variables["q"] = 3;
    ExpressionContext context;
    context.addResolver(&first);
    context.addResolver(&second);

    EXPECT_EQ(context.Evaluate("p*10 + q").value, 13);
    EXPECT_EQ(second.asked, (std::vector<std::string>{"var q"}));

    ASSERT_TRUE(context.SetVariable("P", 5));
    first.asked.clear();
    EXPECT_EQ(context.Evaluate("p").value, 5);
    EXPECT_TRUE(first.asked.empty());

    const EvalResult r = context.Evaluate("zz");
    EXPECT_EQ(r.code, kExprUnknownVariable);
    EXPECT_EQ(context.error().name, "zz");
}

TEST(Resolvers, FunctionCallsAskRawTextThenResolversThenBuiltIns) {
    TableResolver resolver;
    resolver.functions["twice"] = 42;
    ExpressionContext context;
    context.addResolver(&resolver);

    EXPECT_EQ(context.Evaluate("twice(1, 2+3)").value, 42);
    EXPECT_EQ(resolver.asked, (std::vector<std::string>{"raw twice [1, 2+3]", "fn twice 1 5"}));

    // Built-ins come after the resolvers, so a resolver may answer for one.
    resolver.asked.clear();
    EXPECT_EQ(context.Evaluate("sqrt(9)").value, 3);
    EXPECT_EQ(resolver.asked, (std::vector<std::string>{"raw sqrt [9]", "fn sqrt 9"}));
    resolver.functions["sqrt"] = -1;
    EXPECT_EQ(context.Evaluate("sqrt(9)").value, -1);

    // An argument error comes before the unknown function.
    EXPECT_EQ(context.Evaluate("nothing(missing)").code, kExprUnknownVariable);
    EXPECT_EQ(context.Evaluate("nothing(1)").code, kExprUnknownFunction);
}

TEST(Resolvers, RawAnswerSkipsTheArgumentsAndContinuesAfterTheCall) {
    TableResolver resolver;
    resolver.rawFunctions["lit"] = 10;
    ExpressionContext context;
    context.addResolver(&resolver);

    struct Case {
        const char* text;
        const char* raw;
        double value;
    };
    const Case cases[] = {
        {"2*lit( x ( y ) , z )+1", " x ( y ) , z ", 21},
        {"lit(1/0)", "1/0", 10},
        {"lit()", "", 10},
        {"lit(,,)", ",,", 10},
        {"lit(a[)]) + 1", "a[)]", 11},  // a parenthesis in a bracketed name part
        {"lit (sin(1,2,3))^2", "sin(1,2,3)", 100},
        {"-lit($ $)", "$ $", -10},
    };
    for (const Case& c : cases) {
        resolver.asked.clear();
        const EvalResult r = context.Evaluate(c.text);
        ASSERT_EQ(r.code, kExprOk) << c.text << ": " << formatExpressionError(context.error());
        EXPECT_EQ(r.value, c.value) << c.text;
        ASSERT_FALSE(resolver.asked.empty()) << c.text;
        EXPECT_EQ(resolver.asked.front(), "raw lit [" + std::string(c.raw) + "]") << c.text;
    }

    // Without the resolver the same texts are ordinary calls and fail.
    ExpressionContext plain;
    EXPECT_EQ(plain.Evaluate("lit(1/0)").code, kExprDivisionByZero);
    EXPECT_EQ(plain.Evaluate("lit(a[)]) + 1").code, kExprUnknownVariable);
    EXPECT_EQ(plain.error().name, "a[)]");
    EXPECT_EQ(plain.Evaluate("lit($ $)").code, kExprSyntax);
    EXPECT_EQ(plain.Evaluate("lit(2)").code, kExprUnknownFunction);
}

TEST(Resolvers, ParentIsReachedOnlyThroughAResolver) {
    ExpressionContext outer;
    ASSERT_TRUE(outer.SetVariable("T1", 4));
    ExpressionContext inner(&outer);
    EXPECT_EQ(inner.parent(), &outer);
    EXPECT_EQ(inner.Evaluate("T1").code, kExprUnknownVariable);

    struct ParentResolver : ExpressionResolver {
        std::optional<double> resolveVariable(ExpressionContext& c, std::string_view n) override {
            return c.parent() ? c.parent()->lookupVariable(n) : std::nullopt;
        }
    } viaParent;
    inner.addResolver(&viaParent);
    EXPECT_EQ(inner.Evaluate("t1*2").value, 8);
    // Assignments stay in the inner context.
    EXPECT_EQ(inner.Evaluate("T1=1; T1").value, 1);
    EXPECT_EQ(outer.variable("T1"), 4);
}

// Running one compiled program many times must give what evaluating the text anew
// gives each time, also when the variables change between runs.
TEST(CompiledPrograms, RepeatedRunsMatchFreshEvaluation) {
    const char* formulas[] = {
        "U*I",
        "a=U+1; a*a",
        "x = x + U; x",  // x persists between runs of the same context
        "hypot(U, I) - sqrt(U^2 + I^2)",
        "I/(U-2)",
        "u + i + T",
    };
    for (const char* text : formulas) {
        const ExpressionProgram program = ExpressionProgram::compile(text);
        ExpressionContext compiled;
        ExpressionContext fresh;
        ASSERT_TRUE(compiled.SetVariable("x", 0));
        ASSERT_TRUE(fresh.SetVariable("x", 0));
        for (int k = 0; k < 6; ++k) {
            const double u = k * 0.5;
            const double i = 3 - k;
            for (ExpressionContext* c : {&compiled, &fresh}) {
                ASSERT_TRUE(c->SetVariable("U", u));
                ASSERT_TRUE(c->SetVariable("I", i));
                if (k == 3) {
                    ASSERT_TRUE(c->SetVariable("T", 7));  // the table changes shape
                    c->RemoveVariable("a");
                }
            }
            const EvalResult a = compiled.Evaluate(program);
            const EvalResult b = fresh.Evaluate(text);
            EXPECT_EQ(a.code, b.code) << text << " run " << k;
            EXPECT_EQ(a.value, b.value) << text << " run " << k;
            EXPECT_EQ(compiled.error().position, fresh.error().position) << text;
            EXPECT_EQ(compiled.error().name, fresh.error().name) << text;
        }
    }
}

TEST(CompiledPrograms, OneProgramServesSeveralContexts) {
    const ExpressionProgram program = ExpressionProgram::compile("v * 2");
    ExpressionContext first;
    ExpressionContext second;
    ASSERT_TRUE(first.SetVariable("other", 0));
    ASSERT_TRUE(first.SetVariable("v", 1));
    ASSERT_TRUE(second.SetVariable("v", 5));
    EXPECT_EQ(first.Evaluate(program).value, 2);
    EXPECT_EQ(second.Evaluate(program).value, 10);
    EXPECT_EQ(first.Evaluate(program).value, 2);
    first.RemoveVariable("other");
    EXPECT_EQ(first.Evaluate(program).value, 2);
    first.RemoveVariable("v");
    EXPECT_EQ(first.Evaluate(program).code, kExprUnknownVariable);
}

TEST(CompiledPrograms, VariableRefStoresLikeSetVariable) {
    ExpressionContext context;
    ExpressionContext::VariableRef ref("Level");
    ASSERT_TRUE(context.SetVariable(ref, 1));
    ASSERT_TRUE(context.SetVariable(ref, 2));
    EXPECT_EQ(context.Evaluate("level").value, 2);
    // Removed behind the reference's back: the next store puts it back.
    context.RemoveVariable("LEVEL");
    ASSERT_TRUE(context.SetVariable(ref, 3));
    EXPECT_EQ(context.variable("level"), 3);
    EXPECT_EQ(context.variableCount(), 1);
    // Another name taking a slot does not make the reference write elsewhere.
    ASSERT_TRUE(context.SetVariable("b", 9));
    ASSERT_TRUE(context.SetVariable(ref, 4));
    EXPECT_EQ(context.variable("b"), 9);
    EXPECT_EQ(context.variable("level"), 4);
    // A full table refuses a reference's first store.
    ExpressionContext full;
    for (int i = 0; i < ExpressionContext::kMaxVariables; ++i)
        ASSERT_TRUE(full.SetVariable("v" + std::to_string(i), i));
    ExpressionContext::VariableRef late("late");
    EXPECT_FALSE(full.SetVariable(late, 1));
    EXPECT_FALSE(full.variable("late").has_value());
}

TEST(CompiledPrograms, AResolverMayEvaluateInTheSameContext) {
    struct Reentrant : ExpressionResolver {
        std::optional<double> resolveVariable(ExpressionContext& c, std::string_view n) override {
            if (n != "deep")
                return std::nullopt;
            const EvalResult inner = c.Evaluate("1/0");  // fails inside
            return inner.code == kExprDivisionByZero ? std::optional<double>(5) : std::nullopt;
        }
    } reentrant;
    ExpressionContext context;
    context.addResolver(&reentrant);
    const EvalResult r = context.Evaluate("(1+2)*(deep+1)");
    EXPECT_EQ(r.code, kExprOk);
    EXPECT_EQ(r.value, 18);
    EXPECT_EQ(context.error().code, kExprOk);
}

}  // namespace
}  // namespace voltaro
