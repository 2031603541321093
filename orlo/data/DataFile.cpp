// The ORLO data file (.orl) and the comma-separated text export.
//
// Both are 8-bit text with CR LF line ends and "." as decimal separator whatever the
// locale. Numbers go through to_chars/from_chars: locale-free, exact and fast enough
// for the logger's whole memory in one block.

#include "orlo/data/TDataBlock.h"

#include "platform/core/TextCodec.h"
#include "platform/richtext/RtfReader.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace orlo {

namespace {

constexpr std::string_view Eol = "\r\n";
constexpr std::string_view AnnotationsTag = "<Annotations>";
constexpr std::string_view AnnotationsEndTag = "</Annotations>";

// ---- writing ---------------------------------------------------------------------------

void appendInt(std::string& out, std::int32_t v) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, static_cast<std::size_t>(res.ptr - buf));
}

// Fixed point with the given decimals (1 or 2), never an exponent, into buf; returns
// the end. A value that rounds to zero is written without a minus sign; a value that is
// not a number is written as 0 so the file stays readable.
char* formatFixed(char* buf, double v, int decimals) {
    if (!std::isfinite(v))
        v = 0;
    const double scale = decimals == 1 ? 10.0 : 100.0;
    const double scaled = std::fabs(v) * scale;
    // Fast path: below 1e12 the product is off the exact decimal by less than 1e-4, so
    // its rounding agrees with the exact one unless it lies near a half; those values
    // and large ones go through to_chars, which rounds the exact binary value.
    if (scaled < 1e12) {
        const double whole = std::floor(scaled);
        const double frac = scaled - whole;
        if (std::fabs(frac - 0.5) > 1e-3) {
            auto units = static_cast<std::uint64_t>(whole) + (frac > 0.5 ? 1 : 0);
            char digits[24];
            int nd = 0;
            for (int d = 0; d < decimals; ++d) {
                digits[nd++] = static_cast<char>('0' + units % 10);
                units /= 10;
            }
            do {
                digits[nd++] = static_cast<char>('0' + units % 10);
                units /= 10;
            } while (units != 0);
            char* p = buf;
            bool zero = true;
            for (int i = 0; i < nd; ++i)
                if (digits[i] != '0')
                    zero = false;
            if (v < 0 && !zero)
                *p++ = '-';
            for (int i = nd - 1; i >= decimals; --i)
                *p++ = digits[i];
            *p++ = '.';
            for (int i = decimals - 1; i >= 0; --i)
                *p++ = digits[i];
            return p;
        }
    }
    const auto res = std::to_chars(buf, buf + 400, v, std::chars_format::fixed, decimals);
    if (buf[0] == '-') {
        bool zero = true;
        for (const char* p = buf + 1; p != res.ptr; ++p)
            if (*p != '0' && *p != '.') {
                zero = false;
                break;
            }
        if (zero) {
            std::memmove(buf, buf + 1, static_cast<std::size_t>(res.ptr - buf - 1));
            return res.ptr - 1;
        }
    }
    return res.ptr;
}

void appendSampleLines(std::string& out, const TDataBlock& b) {
    const std::size_t n = b.Time.size();
    const bool u = !b.Voltage.empty();
    const bool i = !b.Current.empty();
    const bool r = !b.Rpm.empty();
    char line[4 * 400 + 8];  // four numbers of at most 309 digits, commas, line end
    for (std::size_t k = 0; k < n; ++k) {
        char* p = formatFixed(line, b.Time[k], 1);
        // A series shorter than Time (a broken record) writes 0 rather than reading
        // past its end.
        if (u) {
            *p++ = ',';
            p = formatFixed(p, k < b.Voltage.size() ? b.Voltage[k] : 0.0, 2);
        }
        if (i) {
            *p++ = ',';
            p = formatFixed(p, k < b.Current.size() ? b.Current[k] : 0.0, 2);
        }
        if (r) {
            *p++ = ',';
            p = formatFixed(p, k < b.Rpm.size() ? b.Rpm[k] : 0.0, 2);
        }
        *p++ = '\r';
        *p++ = '\n';
        out.append(line, static_cast<std::size_t>(p - line));
    }
}

// Shortest text that reads back as the same double; "." whatever the locale.
void appendNumber(std::string& out, double v) {
    if (!std::isfinite(v))
        v = 0;
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, static_cast<std::size_t>(res.ptr - buf));
}

// One annotation per line: a backslash, CR and LF in its text are escaped.
void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
}

// The annotations follow the notes in a section of their own: a reader that stops at
// "</Text>" never sees them, and a block without annotations writes no section.
void appendAnnotations(std::string& out, const TDataBlock& b) {
    if (b.Annotations.empty())
        return;
    out.append(AnnotationsTag).append(Eol);
    for (const TAnnotation& a : b.Annotations) {
        appendNumber(out, a.Time);
        out += ',';
        appendNumber(out, a.Value);
        out += ',';
        appendEscaped(out, a.Text);
        out.append(Eol);
    }
    out.append(AnnotationsEndTag).append(Eol);
}

std::size_t estimatedSize(const TDataBlock& b) {
    const std::size_t columns = 1 + !b.Voltage.empty() + !b.Current.empty() + !b.Rpm.empty();
    std::size_t annotations = 0;
    for (const TAnnotation& a : b.Annotations)
        annotations += 64 + a.Text.size();
    return 256 + b.DateText.size() + b.Notes.size() + annotations +
           b.Time.size() * (columns * 9 + 2);
}

bool saveBytes(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// ---- reading ---------------------------------------------------------------------------

// Lines of a byte buffer. A line ends at CR LF, LF or a lone CR.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    std::string_view readLine() {
        const std::size_t start = pos_;
        std::size_t p = pos_;
        while (p < text_.size() && text_[p] != '\n' && text_[p] != '\r')
            ++p;
        const std::string_view line = text_.substr(start, p - start);
        if (p < text_.size()) {
            if (text_[p] == '\r' && p + 1 < text_.size() && text_[p + 1] == '\n')
                p += 2;
            else
                ++p;
        }
        pos_ = p;
        return line;
    }

    // Skips blanks, control characters and line ends, then reads one word.
    std::string_view readWord() {
        while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= ' ')
            ++pos_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) > ' ')
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void skipRestOfLine() { readLine(); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool parseInt32(std::string_view word, std::int32_t& out) {
    if (word.empty())
        return false;
    const char* first = word.data();
    const char* last = word.data() + word.size();
    if (*first == '+') {
        ++first;
        if (first == last || *first == '-')
            return false;
    }
    const auto res = std::from_chars(first, last, out);
    return res.ec == std::errc() && res.ptr == last;
}

// A sample field: leading blanks, an optional sign, then a decimal number with "."
// and nothing after it.
bool parseField(std::string_view field, double& out) {
    if (field.empty()) {
        out = 0;
        return true;
    }
    std::size_t p = 0;
    while (p < field.size() && field[p] == ' ')
        ++p;
    const char* first = field.data() + p;
    const char* last = field.data() + field.size();
    if (first == last)
        return false;
    bool negative = false;
    if (*first == '+' || *first == '-') {
        negative = *first == '-';
        ++first;
    }
    // from_chars would also take "inf", "nan" and a second sign
    if (first == last || !((*first >= '0' && *first <= '9') || *first == '.'))
        return false;
    double v = 0;
    const auto res = std::from_chars(first, last, v, std::chars_format::general);
    if (res.ptr != last)
        return false;
    if (res.ec == std::errc::result_out_of_range)
        return false;
    if (res.ec != std::errc())
        return false;
    out = negative ? -v : v;
    return true;
}

std::string_view trimmed(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

// Notes are kept as lines and joined without a separator. In rich text a line break
// right after a control word was that word's delimiter (rich-edit controls and office
// suites write "\par" or "\loch" at a line end), so there the join keeps one blank.
void appendNotesLine(std::string& notes, std::string_view line) {
    if (platform::RtfReader::isRtf(notes) && platform::RtfReader::endsWithControlWord(notes))
        notes += ' ';
    notes.append(line);
}

// "time,value,text"; false for a line that is not one.
bool parseAnnotation(std::string_view line, TAnnotation& a) {
    const std::size_t c1 = line.find(',');
    if (c1 == std::string_view::npos)
        return false;
    const std::size_t c2 = line.find(',', c1 + 1);
    if (c2 == std::string_view::npos)
        return false;
    // A sample field's rules, but an empty field is no number here.
    const std::string_view time = line.substr(0, c1);
    const std::string_view value = line.substr(c1 + 1, c2 - c1 - 1);
    if (time.empty() || value.empty() || !parseField(time, a.Time) || !parseField(value, a.Value))
        return false;
    const std::string_view text = line.substr(c2 + 1);
    a.Text.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '\\' && (next == '\\' || next == 'r' || next == 'n')) {
            a.Text += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
            ++i;
        } else {
            a.Text += text[i];
        }
    }
    return true;
}

// The annotation section somewhere after the notes; lines that are no annotation are
// passed over.
void readAnnotations(LineReader& in, TDataBlock& b) {
    while (!in.atEnd())
        if (in.readLine() == AnnotationsTag)
            break;
    while (!in.atEnd()) {
        const std::string_view line = in.readLine();
        if (line == AnnotationsEndTag)
            break;
        TAnnotation a;
        if (parseAnnotation(line, a))
            AddAnnotation(b, std::move(a));
    }
}

TReadResult failed(int count, const char* message, TReadOutcome outcome) {
    TReadResult r;
    r.Count = count;
    r.Outcome = outcome;
    r.Message = QString::fromLatin1(message);
    return r;
}

}  // namespace

std::string DataFileText(const TDataBlock& b) {
    std::string out;
    out.reserve(estimatedSize(b));
    out.append("<Header>").append(Eol);
    out.append(b.DateText).append(Eol);
    for (std::int32_t v : {b.Interval, b.ChannelMask, b.CurrentZero, b.CurrentScale, b.VoltageScale,
                           b.CurrentMode, b.Extra}) {
        appendInt(out, v);
        out.append(Eol);
    }
    out.append("</Header>").append(Eol);
    out.append("<Data>").append(Eol);
    appendSampleLines(out, b);
    out.append("</Data>").append(Eol);
    out.append("<Text>").append(Eol);
    out.append(b.Notes).append(Eol);
    out.append("</Text>").append(Eol);
    appendAnnotations(out, b);
    return out;
}

TWriteResult WriteDataFile(const QString& path, const TDataBlock& block) {
    TWriteResult r;
    r.Ok = saveBytes(path, DataFileText(block));
    if (!r.Ok)
        r.Error = QString::fromLatin1(ErrorWritingFile);
    return r;
}

TReadResult ReadDataBytes(std::string_view bytes, TDataBlock& b) {
    // Counting pass: the sample lines lie between "<Data>" and "</Data>".
    int n = 0;
    {
        LineReader in(bytes);
        bool dataFound = false;
        while (!in.atEnd())
            if (in.readLine() == "<Data>") {
                dataFound = true;
                break;
            }
        bool closed = false;
        if (dataFound) {
            int count = 0;
            while (!in.atEnd()) {
                ++count;
                if (in.readLine() == "</Data>") {
                    closed = true;
                    break;
                }
            }
            n = count - 1;
        }
        if (!closed)
            return failed(0, ErrorUnexpectedEnd, TReadOutcome::Failed);
    }

    LineReader in(bytes);
    if (in.readLine() != "<Header>")
        return failed(n, ErrorBadHeader, TReadOutcome::Failed);

    b.Time.clear();
    b.Voltage.clear();
    b.Current.clear();
    b.Rpm.clear();
    b.Capacity.clear();
    b.Energy.clear();
    b.Notes.clear();
    b.Annotations.clear();
    b.DateText = std::string(in.readLine());

    for (std::int32_t* field : {&b.Interval, &b.ChannelMask, &b.CurrentZero, &b.CurrentScale,
                                &b.VoltageScale, &b.CurrentMode, &b.Extra}) {
        if (!parseInt32(in.readWord(), *field))
            return failed(n, ErrorReadingData, TReadOutcome::IoError);
        in.skipRestOfLine();
    }

    while (!in.atEnd())
        if (in.readLine() == "<Data>")
            break;

    const int columns = 1 + std::popcount(static_cast<std::uint32_t>(b.ChannelMask) & 0xFFFFu);
    int next = 1;
    const int colU = (b.ChannelMask & ChannelVoltage) ? next++ : -1;
    const int colI = (b.ChannelMask & ChannelCurrent) ? next++ : -1;
    const int colR = (b.ChannelMask & ChannelRpm) ? next++ : -1;

    const auto count = static_cast<std::size_t>(n);
    b.Time.assign(count, 0.0);
    if (colU > 0)
        b.Voltage.assign(count, 0.0);
    if (colI > 0)
        b.Current.assign(count, 0.0);
    if (colR > 0)
        b.Rpm.assign(count, 0.0);

    for (std::size_t k = 0; k < count && !in.atEnd(); ++k) {
        std::string_view rest = trimmed(in.readLine());
        for (int j = 0; j < columns; ++j) {
            std::string_view field;
            const std::size_t comma = rest.find(',');
            if (comma == std::string_view::npos) {
                field = rest;
                rest = {};
            } else {
                field = rest.substr(0, comma);
                rest.remove_prefix(comma + 1);
            }
            double v = 0;
            if (!parseField(field, v))
                return failed(n, ErrorReadingData, TReadOutcome::Failed);
            if (j == 0)
                b.Time[k] = v;
            else if (j == colU)
                b.Voltage[k] = v;
            else if (j == colI)
                b.Current[k] = v;
            else if (j == colR)
                b.Rpm[k] = v;
        }
    }

    ComputeBlockStatistics(b, n);

    bool textFound = false;
    while (!in.atEnd())
        if (in.readLine() == "<Text>") {
            textFound = true;
            break;
        }
    if (textFound) {
        // A line counts only when more of the file follows it, so a last line without
        // "</Text>" after it is left out.
        std::string_view line = in.readLine();
        while (!in.atEnd() && line != "</Text>") {
            appendNotesLine(b.Notes, line);
            line = in.readLine();
        }
        if (line == "</Text>")
            readAnnotations(in, b);
    }

    TReadResult r;
    r.Count = n;
    return r;
}

TReadResult ReadDataFile(const QString& path, TDataBlock& block) {
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(0, ErrorReadingData, TReadOutcome::IoError);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(0, ErrorReadingData, TReadOutcome::IoError);
    file.close();
    return ReadDataBytes(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), block);
}

std::string ExportTextBytes(std::string_view sourceFileName, const TDataBlock& b) {
    std::string out;
    out.reserve(estimatedSize(b));
    out.append(37, '#').append(Eol);
    out.append("# Name:       ").append(sourceFileName).append(Eol);
    out.append("# Date:       ").append(b.DateText).append(Eol);
    appendSampleLines(out, b);
    return out;
}

TExportResult ExportText(const QString& sourceName, const QString& path, const TDataBlock& block) {
    const qsizetype cut = std::max(sourceName.lastIndexOf(QLatin1Char('/')),
                                   sourceName.lastIndexOf(QLatin1Char('\\')));
    const std::string name = platform::fromQt(sourceName.mid(cut + 1));
    TExportResult r;
    if (!saveBytes(path, ExportTextBytes(name, block))) {
        r.Code = -1;
        r.Error = QString::fromLatin1(ErrorWritingFile);
    }
    return r;
}

}  // namespace orlo
