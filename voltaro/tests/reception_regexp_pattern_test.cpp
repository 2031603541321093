// Regular expressions of definition files: the old scripting dialect on top of
// QRegularExpression. Where the two engines read a pattern differently, the
// dialect's reading must win; constructs the dialect lacks are errors.
#include "voltaro/reception/ScriptRegExp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using voltaro::ScriptRegExp;

struct MatchCase {
    const char* pattern;
    std::string text;
    bool matches;
    std::vector<std::string> groups;  // groups 1..n when it matches
};

void PrintTo(const MatchCase& c, std::ostream* os) {
    *os << '/' << c.pattern << "/ on \"" << c.text << '"';
}

class ScriptPatternMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(ScriptPatternMatch, FirstMatchAndGroups) {
    const MatchCase& c = GetParam();
    ScriptRegExp re;
    ASSERT_TRUE(re.SetPattern(c.pattern)) << c.pattern;
    const ScriptRegExp::Match m = re.Execute(c.text);
    ASSERT_EQ(m.matched(), c.matches) << c.pattern << " on \"" << c.text << "\"";
    if (!c.matches)
        return;
    ASSERT_EQ(m.groupCount(), static_cast<int>(c.groups.size()));
    for (std::size_t g = 0; g < c.groups.size(); ++g)
        EXPECT_EQ(m.group(static_cast<int>(g) + 1), c.groups[g]) << "group " << g + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Dialect, ScriptPatternMatch,
    ::testing::Values(
        // Searching, not anchored unless asked; the first match only.
        MatchCase{R"((\d+))", "ab 12 34", true, {"12"}}, MatchCase{R"(^(\d+))", "ab 12", false, {}},
        // Case matters.
        MatchCase{"abc", "xABCx", false, {}},
        // A group that took no part is empty, yet it counts as a group.
        MatchCase{"(a)|(b)", "b", true, {"", "b"}}, MatchCase{"x(y)?z", "xz", true, {""}},
        // Greedy and lazy repeats.
        MatchCase{"<(.+)>", "<a><b>", true, {"a><b"}}, MatchCase{"<(.+?)>", "<a><b>", true, {"a"}},
        MatchCase{
            R"(^\s*(\w+)\s*=\s*(.*?)\s*$)", "  key =  some value \t", true, {"key", "some value"}},
        // "$" is the very end, never before a final line feed.
        MatchCase{"a$", "a\n", false, {}}, MatchCase{"a$", "ba", true, {}},
        // Escaped letters without a meaning of their own are the letters.
        MatchCase{R"(\e\A\Q)", "eAQ", true, {}}, MatchCase{R"(\h)", " ", false, {}},
        MatchCase{R"(\h)", "h", true, {}},
        // "\v" is the vertical tab only; "\u" takes four hexadecimal digits.
        MatchCase{R"(\v)", "\n", false, {}}, MatchCase{R"(\v)", "\x0B", true, {}},
        MatchCase{R"(\u0041)", "A", true, {}}, MatchCase{R"(\x41)", "A", true, {}},
        // "[]" never matches, "[^]" matches anything.
        MatchCase{"a[]", "a]", false, {}}, MatchCase{"a[^]b", "a\nb", true, {}},
        // No POSIX classes: "[[:alpha:]]" is the class "[:alph" then "]".
        MatchCase{"^[[:alpha:]]$", "a", false, {}}, MatchCase{"^[[:alpha:]]$", "p]", true, {}},
        // "{" that starts no repeat is a character.
        MatchCase{"^a{,2}$", "a{,2}", true, {}}, MatchCase{"^a{2}$", "aa", true, {}},
        MatchCase{"^(a{2,})$", "aaaa", true, {"aaaa"}},
        // Look-ahead and non-capturing groups are part of the dialect.
        MatchCase{"(?:ab)+(?=c)", "ababc", true, {}}, MatchCase{"^(?!#)(.*)", "#x", false, {}},
        // Word and space classes stay ASCII.
        MatchCase{R"(^\w+$)", "a_1", true, {}}, MatchCase{R"(\s)", "a\tb", true, {}},
        // A back reference repeats its group; to a group that took no part it
        // matches the empty text.
        MatchCase{R"(^(\d)-\1$)", "7-7", true, {"7"}}, MatchCase{R"(^(\d)-\1$)", "7-8", false, {}},
        MatchCase{R"(^(a)?b\1$)", "b", true, {""}}, MatchCase{R"(^(a)?b\1+c$)", "bc", true, {""}},
        MatchCase{R"(^(a)|b\1$)", "b", true, {""}},
        // "\nm" is group nm when that many groups come before it, else group n
        // and the digit m, else an octal escape; "\8" and "\9" are the digits.
        MatchCase{R"(^(a)\12$)", "aa2", true, {"a"}},
        MatchCase{R"(^a\1b$)",
                  "a\x01"
                  "b",
                  true,
                  {}},
        MatchCase{R"(^x\101$)", "xA", true, {}}, MatchCase{R"(^\8\9$)", "89", true, {}},
        MatchCase{R"(^\1(a)$)",
                  "\x01"
                  "a",
                  true,
                  {"a"}},
        MatchCase{R"(^[\1]$)", "\x01", true, {}},
        MatchCase{R"(^\0$)", std::string(1, '\0'), true, {}}));

TEST(ScriptPatternMatch, EightBitTextComesBackByteForByte) {
    // "žluť" in Windows-1250, with a byte that is a control code in Latin-1.
    const std::string word = "\x9Elu\x9D";
    ScriptRegExp re(std::string("^N=(\\w*") + "\x9E" + "\\w+" + "\x9D" + ")$");
    ASSERT_TRUE(re.IsValid());
    const ScriptRegExp::Match m = re.Execute("N=" + word);
    ASSERT_TRUE(m.matched());
    EXPECT_EQ(m.group(1), word);
    EXPECT_EQ(m.group(0), "N=" + word);
}

TEST(ScriptPatternMatch, GroupsBeyondThePatternAreEmpty) {
    ScriptRegExp re("(a)(b)?");
    const ScriptRegExp::Match m = re.Execute("a");
    ASSERT_TRUE(m.matched());
    EXPECT_EQ(m.groupCount(), 2);
    EXPECT_EQ(m.group(2), "");
    EXPECT_EQ(m.group(3), "");
    EXPECT_EQ(m.group(-1), "");
}

TEST(ScriptPatternMatch, EmptyPatternMatchesEverywhereAndInvalidNowhere) {
    ScriptRegExp empty("");
    EXPECT_TRUE(empty.IsValid());
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_TRUE(empty.Test("anything"));
    ScriptRegExp broken("(a");
    EXPECT_FALSE(broken.IsValid());
    EXPECT_FALSE(broken.Test("a"));
    EXPECT_FALSE(broken.Test("(a"));
}

class ScriptPatternRejected : public ::testing::TestWithParam<const char*> {};

TEST_P(ScriptPatternRejected, IsNotAValidPattern) {
    ScriptRegExp re;
    EXPECT_FALSE(re.SetPattern(GetParam())) << GetParam();
    EXPECT_FALSE(re.IsValid());
}

INSTANTIATE_TEST_SUITE_P(Dialect, ScriptPatternRejected,
                         ::testing::Values(
                             // Broken in any dialect.
                             "(a", "a)", "[a", "a\\", "*a", "a{3,1}",
                             // Not part of the dialect, though PCRE would take them.
                             "(?<name>a)", "(?<=a)b", "(?<!a)b", "(?>a)", "(?i)a", "(?#x)a",
                             "(?|a)", "a++", "a*+", "a?+", "a{2}+", "(?"));

}  // namespace
