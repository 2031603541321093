#pragma once
// Regular expressions of device definition files.
//
// Definition files are written in the dialect of the old scripting regular
// expressions (the ECMAScript flavour): case-sensitive, not multi-line, the
// first match only. QRegularExpression (PCRE2) reads a few constructs of that
// dialect differently, so a pattern is translated first:
//   - "$" is the end of the text only, never before a final line feed;
//   - an escaped letter without a meaning of its own ("\e", "\A", "\Q") is the
//     letter itself, "\v" is the vertical tab only, "\uXXXX" a code unit;
//   - "[]" matches nothing, "[^]" any character, "[" inside a class is literal
//     (no POSIX "[:alpha:]" classes);
//   - "{" that does not start a "{n}", "{n,}" or "{n,m}" repeat is literal.
//   - "\n" and "\nm" refer back to a group only when that many groups come
//     before them (else they are octal escapes, "\8" and "\9" the digits), and
//     a reference to a group that took no part matches the empty text.
// Constructs the dialect does not have are rejected as errors: groups
// "(?<name>", "(?<=", "(?>", "(?i)" and the like, and possessive repeats "a++".
//
// Lines and patterns are 8-bit text; they go through the program's text codec,
// so group texts come back byte for byte.

#include <QRegularExpression>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace voltaro {

// The pattern in PCRE2 syntax, or nothing when the dialect does not allow it.
std::optional<QString> TranslateScriptPattern(const QString& pattern);

class ScriptRegExp {
public:
    // The result of one search: the first match and its groups.
    class Match {
    public:
        bool matched() const { return m_matched; }
        explicit operator bool() const { return m_matched; }
        // Capture groups of the pattern, whether they took part or not.
        int groupCount() const { return m_groups; }
        // Group n (1-based; 0 the whole match) as 8-bit text; empty when the
        // group does not exist or did not take part in the match.
        std::string group(int n) const;

    private:
        friend class ScriptRegExp;
        QRegularExpressionMatch m_match;
        bool m_matched = false;
        int m_groups = 0;
    };

    ScriptRegExp() = default;
    explicit ScriptRegExp(std::string_view pattern) { SetPattern(pattern); }

    // Compiles the pattern; false when it is not a valid pattern of the dialect.
    // An empty pattern is valid and matches everywhere.
    bool SetPattern(std::string_view pattern);
    const std::string& Pattern() const { return m_pattern; }
    bool IsValid() const { return m_valid; }
    bool IsEmpty() const { return m_pattern.empty(); }
    int GroupCount() const { return m_valid ? m_re.captureCount() : 0; }

    // Searches the text for the first match. An invalid pattern matches nothing.
    Match Execute(std::string_view text) const;
    bool Test(std::string_view text) const { return Execute(text).matched(); }

private:
    std::string m_pattern;
    QRegularExpression m_re;
    bool m_valid = false;
};

}  // namespace voltaro
