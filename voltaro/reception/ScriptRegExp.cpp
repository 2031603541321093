#include "voltaro/reception/ScriptRegExp.h"

#include "platform/core/TextCodec.h"

namespace voltaro {
namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isHex(QChar c) {
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool hexRun(const QString& p, qsizetype at, int count) {
    if (at + count > p.size())
        return false;
    for (int k = 0; k < count; ++k)
        if (!isHex(p[at + k]))
            return false;
    return true;
}

// Length of a repeat "{n}", "{n,}" or "{n,m}" starting at p[at] == '{', or 0.
qsizetype repeatLength(const QString& p, qsizetype at) {
    qsizetype k = at + 1;
    const qsizetype firstDigit = k;
    while (k < p.size() && isDigit(p[k]))
        ++k;
    if (k == firstDigit || k >= p.size())
        return 0;
    if (p[k] == u',') {
        ++k;
        while (k < p.size() && isDigit(p[k]))
            ++k;
    }
    if (k >= p.size() || p[k] != u'}')
        return 0;
    return k - at + 1;
}

bool isOctal(QChar c) {
    return c >= u'0' && c <= u'7';
}

// An octal escape at p[at + 1] (three digits when the first is 0 to 3, else
// two), or the digit itself for "\8" and "\9". Returns the characters used.
qsizetype octalEscape(const QString& p, qsizetype at, QString& out) {
    const QChar first = p[at + 1];
    if (!isOctal(first)) {
        out += first;
        return 2;
    }
    const int maxDigits = first <= u'3' ? 3 : 2;
    int value = 0;
    int digits = 0;
    while (digits < maxDigits && at + 1 + digits < p.size() && isOctal(p[at + 1 + digits])) {
        value = value * 8 + (p[at + 1 + digits].unicode() - u'0');
        ++digits;
    }
    out += QStringLiteral("\\x{%1}").arg(value, 0, 16);
    return 1 + digits;
}

// A back reference that matches the empty text while its group has taken no
// part; PCRE would fail the match there.
QString backReference(int group) {
    return QStringLiteral("(?:(?(%1)\\g{%1}))").arg(group);
}

// Translates the escape at p[at] == '\\'; appends the PCRE form to out and
// returns the characters used, or 0 when the escape is not allowed.
// groupsBefore counts the capturing groups opened before the escape.
qsizetype translateEscape(const QString& p, qsizetype at, bool inClass, int groupsBefore,
                          QString& out) {
    if (at + 1 >= p.size())
        return 0;  // a lone backslash at the end
    const QChar c = p[at + 1];
    switch (c.unicode()) {
        case u'd':
        case u'D':
        case u'w':
        case u'W':
        case u's':
        case u'S':
        case u'f':
        case u'n':
        case u'r':
        case u't':
            out += u'\\';
            out += c;
            return 2;
        case u'b':
            // A word boundary outside a class, a backspace inside: the same in both.
            out += u'\\';
            out += c;
            return 2;
        case u'B':
            out += inClass ? QStringLiteral("B") : QStringLiteral("\\B");
            return 2;
        case u'v':
            out += QStringLiteral("\\x0B");
            return 2;
        case u'c':
            if (at + 2 < p.size() && isAsciiLetter(p[at + 2])) {
                out += u'\\';
                out += c;
                out += p[at + 2];
                return 3;
            }
            out += QStringLiteral("\\\\c");  // no control letter: a backslash and a "c"
            return 2;
        case u'x':
            if (hexRun(p, at + 2, 2)) {
                out += p.mid(at, 4);
                return 4;
            }
            out += u'x';
            return 2;
        case u'u':
            if (hexRun(p, at + 2, 4)) {
                out += QStringLiteral("\\x{") + p.mid(at + 2, 4) + u'}';
                return 6;
            }
            out += u'u';
            return 2;
        default:
            break;
    }
    if (isDigit(c)) {
        // "\nm" is group nm when that many groups come before it, else group n
        // followed by the digit m, else an octal escape. In a class: octal.
        if (!inClass && c != u'0') {
            const int n = c.unicode() - u'0';
            if (at + 2 < p.size() && isDigit(p[at + 2])) {
                const int nm = n * 10 + (p[at + 2].unicode() - u'0');
                if (nm <= groupsBefore) {
                    out += backReference(nm);
                    return 3;
                }
            }
            if (n <= groupsBefore) {
                out += backReference(n);
                return 2;
            }
        }
        return octalEscape(p, at, out);
    }
    if (isAsciiLetter(c)) {
        out += c;  // an escaped letter without a meaning is the letter
        return 2;
    }
    // Punctuation and any other character: itself.
    out += u'\\';
    out += c;
    return 2;
}

}  // namespace

std::optional<QString> TranslateScriptPattern(const QString& p) {
    QString out;
    out.reserve(p.size() + 8);
    bool inClass = false;
    int groups = 0;  // capturing groups opened so far
    qsizetype i = 0;
    // After a repeat: a lazy "?" may follow, a further "+" makes it possessive.
    auto afterRepeat = [&]() -> bool {
        if (i < p.size() && p[i] == u'?') {
            out += u'?';
            ++i;
        }
        return !(i < p.size() && p[i] == u'+');
    };
    while (i < p.size()) {
        const QChar c = p[i];
        if (c == u'\\') {
            const qsizetype used = translateEscape(p, i, inClass, groups, out);
            if (used == 0)
                return std::nullopt;
            i += used;
            continue;
        }
        if (inClass) {
            if (c == u']') {
                inClass = false;
                out += c;
            } else if (c == u'[') {
                out += QStringLiteral("\\[");
            } else {
                out += c;
            }
            ++i;
            continue;
        }
        switch (c.unicode()) {
            case u'[':
                if (i + 1 < p.size() && p[i + 1] == u']') {
                    out += QStringLiteral("(?!)");
                    i += 2;
                } else if (i + 2 < p.size() && p[i + 1] == u'^' && p[i + 2] == u']') {
                    out += QStringLiteral("[\\s\\S]");
                    i += 3;
                } else {
                    inClass = true;
                    out += u'[';
                    ++i;
                    if (i < p.size() && p[i] == u'^') {
                        out += u'^';
                        ++i;
                    }
                }
                break;
            case u'(':
                if (i + 1 < p.size() && p[i + 1] == u'?') {
                    if (i + 2 >= p.size())
                        return std::nullopt;
                    const QChar kind = p[i + 2];
                    if (kind != u':' && kind != u'=' && kind != u'!')
                        return std::nullopt;
                    out += p.mid(i, 3);
                    i += 3;
                } else {
                    out += u'(';
                    ++groups;
                    ++i;
                }
                break;
            case u'$':
                out += QStringLiteral("\\z");
                ++i;
                break;
            case u'{': {
                const qsizetype len = repeatLength(p, i);
                if (len == 0) {
                    out += QStringLiteral("\\{");
                    ++i;
                } else {
                    out += p.mid(i, len);
                    i += len;
                    if (!afterRepeat())
                        return std::nullopt;
                }
                break;
            }
            case u'}':
                out += QStringLiteral("\\}");
                ++i;
                break;
            case u'*':
            case u'+':
            case u'?':
                out += c;
                ++i;
                if (!afterRepeat())
                    return std::nullopt;
                break;
            default:
                out += c;
                ++i;
                break;
        }
    }
    if (inClass)
        return std::nullopt;  // an unterminated class
    return out;
}

bool ScriptRegExp::SetPattern(std::string_view pattern) {
    m_pattern.assign(pattern);
    m_valid = false;
    const std::optional<QString> translated =
        TranslateScriptPattern(platform::TextCodec::system().toUnicode(pattern));
    if (!translated) {
        m_re = QRegularExpression();
        return false;
    }
    m_re.setPattern(*translated);
    m_re.setPatternOptions(QRegularExpression::NoPatternOption);
    m_valid = m_re.isValid();
    if (m_valid)
        m_re.optimize();
    return m_valid;
}

ScriptRegExp::Match ScriptRegExp::Execute(std::string_view text) const {
    Match result;
    if (!m_valid)
        return result;
    result.m_match = m_re.match(platform::TextCodec::system().toUnicode(text));
    result.m_matched = result.m_match.hasMatch();
    result.m_groups = m_re.captureCount();
    return result;
}

std::string ScriptRegExp::Match::group(int n) const {
    if (!m_matched || n < 0 || n > m_groups)
        return {};
    return platform::TextCodec::system().fromUnicode(m_match.captured(n));
}

}  // namespace voltaro
