#include "voltaro/reception/CProtParser_Regexp.h"

#include "platform/core/HexDigit.h"
#include "platform/core/TextCodec.h"
#include "voltaro/graph/ExpressionContext.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/DataSample.h"
#include "voltaro/reception/ScanText.h"

#include <QFile>
#include <QFileInfo>

#include <charconv>
#include <climits>
#include <cmath>
#include <map>

namespace voltaro {
namespace {

// True when c is a digit of the base (up to 16).
bool isDigitOf(char c, int base) {
    const int d = platform::hexDigitValue(c);
    return d >= 0 && d < base;
}

// The text of group ix (0-based) when the pattern has that group.
std::optional<std::string> groupText(const ScriptRegExp::Match& m, int ix) {
    if (ix < 0 || ix >= m.groupCount())
        return std::nullopt;
    return m.group(ix + 1);
}

// The names t, u, i and r of one data line, in any case.
class LineVariables : public ExpressionResolver {
public:
    double values[4] = {0, 0, 0, 0};  // t, u, i, r

    std::optional<double> resolveVariable(ExpressionContext&, std::string_view name) override {
        if (name.size() != 1)
            return std::nullopt;
        switch (name[0]) {
            case 't':
            case 'T':
                return values[0];
            case 'u':
            case 'U':
                return values[1];
            case 'i':
            case 'I':
                return values[2];
            case 'r':
            case 'R':
                return values[3];
            default:
                return std::nullopt;
        }
    }
};

QString fromBytes(std::string_view s) {
    return platform::TextCodec::system().toUnicode(s);
}

}  // namespace

std::optional<int> ScanIntegerLikeC(std::string_view s) {
    std::size_t pos = 0;
    const bool negative = SkipSpaceAndSign(s, pos);
    int base = 10;
    if (pos < s.size() && s[pos] == '0') {
        base = 8;
        if (pos + 1 < s.size() && (s[pos + 1] == 'x' || s[pos + 1] == 'X')) {
            if (pos + 2 < s.size() && isDigitOf(s[pos + 2], 16)) {
                base = 16;
                pos += 2;
            } else {
                return 0;  // "0x" without digits reads the 0
            }
        }
    }
    const std::size_t first = pos;
    long long value = 0;
    while (pos < s.size() && isDigitOf(s[pos], base)) {
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * base + platform::hexDigitValue(s[pos]);
        ++pos;
    }
    if (pos == first)
        return std::nullopt;
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::optional<double> ScanDoubleLikeC(std::string_view s) {
    std::size_t pos = 0;
    const bool negative = SkipSpaceAndSign(s, pos);
    const char* begin = s.data() + pos;
    const char* end = s.data() + s.size();
    std::chars_format format = std::chars_format::general;
    if (end - begin >= 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X')) {
        const char* hex = begin + 2;
        const bool digits = hex < end && (isDigitOf(*hex, 16) ||
                                          (*hex == '.' && hex + 1 < end && isDigitOf(hex[1], 16)));
        if (digits) {
            begin = hex;
            format = std::chars_format::hex;
        } else {
            return negative ? -0.0 : 0.0;  // "0x" without digits reads the 0
        }
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(begin, end, value, format);
    if (ec == std::errc::invalid_argument)
        return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: infinity or zero, as the C reader.
        const std::string_view text(begin, static_cast<std::size_t>(ptr - begin));
        const std::size_t exp = text.find_first_of(format == std::chars_format::hex ? "pP" : "eE");
        const bool tiny =
            exp != std::string_view::npos && exp + 1 < text.size() && text[exp + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

CProtParser_Regexp::CProtParser_Regexp(platform::Clock clock) : m_clock(std::move(clock)) {}

std::uint32_t CProtParser_Regexp::Tick() const {
    return m_clock ? static_cast<std::uint32_t>(m_clock()) : 0u;
}

bool CProtParser_Regexp::LoadDefinition(const QString& path, QString* error) {
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot open the file %1.\n%2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("Cannot read the file %1.\n%2").arg(path, file.errorString()));
    return LoadDefinitionText(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        QFileInfo(path).fileName(), error);
}

bool CProtParser_Regexp::LoadDefinitionText(std::string_view text, const QString& fileName,
                                            QString* error) {
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };

    // KEY = value lines; a later line wins.
    static const ScriptRegExp keyLine(R"(^\s*(\w+)\s*=\s*(.*?)\s*$)");
    std::map<std::string, std::string> keys;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        start = end + 1;
        const ScriptRegExp::Match m = keyLine.Execute(line);
        if (!m || m.groupCount() != 2)
            continue;
        std::string key = m.group(1);
        for (char& c : key)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        keys[key] = m.group(2);
    }
    auto value = [&keys](const std::string& key) -> const std::string* {
        const auto it = keys.find(key);
        return it == keys.end() ? nullptr : &it->second;
    };
    auto valueOr = [&value](const std::string& key) {
        const std::string* v = value(key);
        return v ? *v : std::string();
    };

    if (const std::string* title = value("TITLE")) {
        m_strParserTitle = *title;
    } else {
        // The name without its (last) extension.
        const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
        m_strParserTitle =
            platform::TextCodec::system().fromUnicode(dot < 0 ? fileName : fileName.left(dot));
    }

    // An empty DATA would claim every line of every device: as good as missing.
    const std::string* data = value("DATA");
    if (!data || data->empty())
        return fail(QString::fromLatin1(kMissingData).arg(fileName));
    m_strData = *data;
    m_strHead = valueOr("HEAD");
    m_strEndBlock = valueOr("ENDBLOCK");
    m_strEndSession = valueOr("ENDSESSION");
    m_strExprT = valueOr("DATA_EXPRESSION_T");
    m_strExprU = valueOr("DATA_EXPRESSION_U");
    m_strExprI = valueOr("DATA_EXPRESSION_I");
    m_strExprR = valueOr("DATA_EXPRESSION_R");

    auto badPattern = [&](const char* key) {
        return fail(QString::fromLatin1(kBadExpression)
                        .arg(fromBytes(m_strParserTitle), QString::fromLatin1(key)));
    };
    const struct {
        const char* key;
        const std::string& pattern;
        ScriptRegExp& re;
    } fixed[] = {{"DATA", m_strData, m_reData},
                 {"HEAD", m_strHead, m_reHead},
                 {"ENDBLOCK", m_strEndBlock, m_reEndBlock},
                 {"ENDSESSION", m_strEndSession, m_reEndSession}};
    for (const auto& f : fixed)
        if (!f.re.SetPattern(f.pattern))
            return badPattern(f.key);

    m_battIf.clear();
    m_battThen.clear();
    m_reBattIf.clear();
    for (int n = 1;; ++n) {
        const std::string ifKey = "BATT" + std::to_string(n) + "_IF";
        const std::string thenKey = "BATT" + std::to_string(n) + "_THEN";
        const std::string* pattern = value(ifKey);
        if (!pattern)
            break;
        ScriptRegExp re;
        if (!re.SetPattern(*pattern))
            return badPattern(ifKey.c_str());
        const std::string* then = value(thenKey);
        if (!then)
            continue;  // checked, but no rule
        m_battIf.push_back(*pattern);
        m_battThen.push_back(*then);
        m_reBattIf.push_back(std::move(re));
    }
    m_ignore.clear();
    m_reIgnore.clear();
    for (int n = 1;; ++n) {
        const std::string key = "IGNORE" + std::to_string(n);
        const std::string* pattern = value(key);
        if (!pattern)
            break;
        ScriptRegExp re;
        if (!re.SetPattern(*pattern))
            return badPattern(key.c_str());
        m_ignore.push_back(*pattern);
        m_reIgnore.push_back(std::move(re));
    }

    auto groupIndex = [&value](const char* key) {
        const std::string* v = value(key);
        if (!v)
            return -1;
        const std::optional<int> n = ScanIntegerLikeC(*v);
        if (!n || *n == INT_MIN)
            return -1;
        return *n - 1;
    };
    m_ixT = groupIndex("DATA_IX_T");
    m_ixU = groupIndex("DATA_IX_U");
    m_ixI = groupIndex("DATA_IX_I");
    m_ixR = groupIndex("DATA_IX_R");
    m_ixHeadName = groupIndex("HEAD_IX_NAME");
    m_ixDataName = groupIndex("DATA_IX_NAME");
    m_ixHeadBatt = groupIndex("HEAD_IX_BATT");
    m_ixDataBatt = groupIndex("DATA_IX_BATT");
    m_nTimeout = 0;
    if (const std::string* v = value("TIMEOUT"))
        m_nTimeout = ScanIntegerLikeC(*v).value_or(0);

    // A time index below 1 names no column: every sample would lie at T = 0.
    if (m_ixT < 0)
        return fail(QString::fromLatin1(kMissingTimeIndex).arg(fileName));

    // Formulas are compiled now and judged per line.
    m_progT = ExpressionProgram::compile(m_strExprT);
    m_progU = ExpressionProgram::compile(m_strExprU);
    m_progI = ExpressionProgram::compile(m_strExprI);
    m_progR = ExpressionProgram::compile(m_strExprR);
    return true;
}

bool CProtParser_Regexp::TranslateBattery(std::string_view text, std::string& name) const {
    for (std::size_t n = 0; n < m_reBattIf.size(); ++n) {
        if (m_reBattIf[n].Test(text)) {
            name = m_battThen[n] == "*" ? std::string(text) : m_battThen[n];
            return true;
        }
    }
    return false;
}

int CProtParser_Regexp::ParseHeader(CDataBlock& block, std::string_view line, bool bComplete) {
    if (!bComplete || m_reHead.IsEmpty())
        return 0;
    const ScriptRegExp::Match m = m_reHead.Execute(line);
    if (!m)
        return 0;
    m_nLastSampleTick = 0;
    m_bSampleSeen = false;
    block.m_strInfo = std::string(TrimCSpace(line));
    block.m_strDevice = m_strParserTitle;
    std::string name = groupText(m, m_ixHeadName).value_or(m_strParserTitle);
    if (const std::optional<std::string> batt = groupText(m, m_ixHeadBatt)) {
        std::string translated;
        if (TranslateBattery(*batt, translated))
            name += ' ' + translated;
    }
    block.m_strName = std::move(name);
    block.m_bAutoNamed = true;
    block.m_bBatteryPending = true;
    return PF_CONSUMED;
}

int CProtParser_Regexp::ParseData(CDataBlock& block, std::string_view line, bool bComplete,
                                  DataSample* pSample) {
    if (!bComplete)
        return 0;
    for (const ScriptRegExp& re : m_reIgnore)
        if (re.Test(line))
            return PF_CONSUMED;

    int result = 0;
    if (const ScriptRegExp::Match m = m_reData.Execute(line)) {
        LineVariables vars;
        const int columns[4] = {m_ixT, m_ixU, m_ixI, m_ixR};
        for (int k = 0; k < 4; ++k) {
            const std::string text = groupText(m, columns[k]).value_or(std::string());
            vars.values[k] = ScanDoubleLikeC(text).value_or(0.0);
        }
        // One context per line: a variable assigned by one formula is seen by the
        // next, nothing survives to the next line.
        ExpressionContext context;
        context.addResolver(&vars);
        double out[4];
        const std::string* texts[4] = {&m_strExprT, &m_strExprU, &m_strExprI, &m_strExprR};
        const ExpressionProgram* programs[4] = {&m_progT, &m_progU, &m_progI, &m_progR};
        for (int k = 0; k < 4; ++k) {
            out[k] = vars.values[k];
            if (!texts[k]->empty()) {
                const EvalResult r = context.Evaluate(*programs[k]);
                if (r.code == kExprOk)
                    out[k] = r.value;
            }
        }
        if (pSample) {
            pSample->T = static_cast<float>(out[0]);
            pSample->U = static_cast<float>(out[1]);
            pSample->I = static_cast<float>(out[2]);
            pSample->R = static_cast<float>(out[3]);
        }

        if (block.m_strDevice.empty())
            block.m_strDevice = m_strParserTitle;
        if (block.m_strName.empty()) {
            block.m_strName = m_strParserTitle;
            block.m_bAutoNamed = true;
            block.m_bBatteryPending = true;
        }
        if (block.m_bAutoNamed) {
            if (const std::optional<std::string> name = groupText(m, m_ixDataName)) {
                const std::string_view trimmed = TrimCSpace(*name);
                if (!trimmed.empty()) {
                    block.m_strName += ' ';
                    block.m_strName += trimmed;
                    block.m_bAutoNamed = false;
                }
            }
        }
        if (block.m_bBatteryPending) {
            if (const std::optional<std::string> batt = groupText(m, m_ixDataBatt)) {
                std::string translated;
                if (TranslateBattery(*batt, translated)) {
                    block.m_strName += ' ' + translated;
                    block.m_bBatteryPending = false;
                }
            }
        }
        result = PF_SAMPLE | PF_CONSUMED;
    }
    if (!m_reEndBlock.IsEmpty() && m_reEndBlock.Test(line))
        result |= PF_NEXT_BLOCK | PF_CONSUMED;
    if (!m_reEndSession.IsEmpty() && m_reEndSession.Test(line))
        result |= PF_FINISH | PF_CONSUMED;
    if (result & PF_SAMPLE) {
        m_nLastSampleTick = Tick();
        m_bSampleSeen = true;
    }
    if (line.empty())
        result |= PF_CONSUMED;
    if (!(result & PF_CONSUMED))
        result |= PF_UNRECOGNISED;
    return result;
}

bool CProtParser_Regexp::IsTimedOut() {
    if (m_nTimeout <= 0 || !m_bSampleSeen)
        return false;
    const std::uint32_t silent = Tick() - m_nLastSampleTick;
    return static_cast<std::int64_t>(silent) > static_cast<std::int64_t>(m_nTimeout) * 1000;
}

}  // namespace voltaro
