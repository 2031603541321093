#include "platform/richtext/RtfWriter.h"

#include "platform/core/TextCodec.h"
#include "platform/richtext/RtfCharset.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace platform {
namespace {

const char* familyKeyword(const QString& family) {
    static const char* const kSwiss[] = {"Arial",     "Tahoma",   "Verdana", "MS Sans Serif",
                                         "Helvetica", "Segoe UI", "Calibri"};
    static const char* const kRoman[] = {"Times New Roman", "Georgia", "Cambria", "MS Serif"};
    static const char* const kModern[] = {"Courier New", "Courier", "Consolas", "Lucida Console"};
    for (const char* n : kSwiss)
        if (family.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return "\\fswiss";
    for (const char* n : kRoman)
        if (family.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return "\\froman";
    for (const char* n : kModern)
        if (family.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return "\\fmodern";
    return "\\fnil";
}

bool isSymbolFont(const QString& family) {
    return family.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0 ||
           family.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive);
}

QString romanNumber(int n, bool upper) {
    if (n <= 0 || n >= 4000)
        return QString::number(n);
    static const struct {
        int value;
        const char* text;
    } kParts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                  {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                  {5, "v"},    {4, "iv"},   {1, "i"}};
    QString out;
    for (const auto& p : kParts)
        while (n >= p.value) {
            out += QLatin1String(p.text);
            n -= p.value;
        }
    return upper ? out.toUpper() : out;
}

QString alphaNumber(int n, bool upper) {
    if (n <= 0)
        return QString::number(n);
    QString out;
    while (n > 0) {
        --n;
        out.prepend(QChar(static_cast<char16_t>((upper ? 'A' : 'a') + n % 26)));
        n /= 26;
    }
    return out;
}

QString listLabel(const ListStyle& list, int number) {
    QString n;
    switch (list.kind) {
        case ListKind::LowerAlpha:
            n = alphaNumber(number, false);
            break;
        case ListKind::UpperAlpha:
            n = alphaNumber(number, true);
            break;
        case ListKind::LowerRoman:
            n = romanNumber(number, false);
            break;
        case ListKind::UpperRoman:
            n = romanNumber(number, true);
            break;
        default:
            n = QString::number(number);
            break;
    }
    return list.prefix + n + list.suffix;
}

bool sameParagraphFormat(const Paragraph& a, const Paragraph& b) {
    return a.alignment == b.alignment && a.leftIndent == b.leftIndent &&
           a.rightIndent == b.rightIndent && a.firstIndent == b.firstIndent &&
           a.spaceBefore == b.spaceBefore && a.spaceAfter == b.spaceAfter &&
           a.lineSpacing == b.lineSpacing && a.tabs == b.tabs && a.list == b.list;
}

class Writer {
public:
    Writer(const RichText& text, const RtfWriteOptions& options) : text_(text), options_(options) {
        page_ = TextCodec::forNumber(options.codePage);
        if (!page_ || options.codePage == 28591)
            page_ = TextCodec::forNumber(1252);
    }

    std::string run();

private:
    void collectTables();
    int fontIndex(const QString& family) const;
    void word(const char* w);
    void word(const char* w, int param);
    void raw(const char* s) {
        out_ += s;
        pendingSpace_ = false;
    }
    // A line break is no delimiter once line breaks are dropped (the data file joins
    // the lines of its notes), so a control word before it gets its blank.
    void lineBreak() {
        if (pendingSpace_)
            out_ += ' ';
        raw("\r\n");
    }
    void text(const QString& s, bool fontName = false);
    void styleChanges(const CharStyle& style);
    void paragraphFormat(const Paragraph& p, int number);
    void listText(const Paragraph& p, int number);
    int colorIndex(const std::optional<std::uint32_t>& c) const;

    const RichText& text_;
    const RtfWriteOptions& options_;
    const TextCodec* page_ = nullptr;
    std::vector<QString> fonts_;
    int symbolFont_ = -1;
    std::vector<std::uint32_t> colors_;
    std::string out_;
    bool pendingSpace_ = false;

    // What the reader has in force at this point of the output.
    int curFont_ = -2;
    int curHalfPoints_ = -1;
    CharStyle cur_;
};

int Writer::fontIndex(const QString& family) const {
    const QString& name = family.isEmpty() ? options_.defaultFamily : family;
    for (size_t i = 0; i < fonts_.size(); ++i)
        if (fonts_[i] == name)
            return static_cast<int>(i);
    return 0;
}

int Writer::colorIndex(const std::optional<std::uint32_t>& c) const {
    if (!c)
        return 0;
    for (size_t i = 0; i < colors_.size(); ++i)
        if (colors_[i] == *c)
            return static_cast<int>(i) + 1;
    return 0;
}

void Writer::collectTables() {
    fonts_.push_back(options_.defaultFamily);
    bool bullets = false;
    auto addStyle = [this](const CharStyle& s) {
        const QString& name = s.family.isEmpty() ? options_.defaultFamily : s.family;
        if (std::find(fonts_.begin(), fonts_.end(), name) == fonts_.end())
            fonts_.push_back(name);
        for (const auto& c : {s.foreground, s.background})
            if (c && std::find(colors_.begin(), colors_.end(), *c) == colors_.end())
                colors_.push_back(*c);
    };
    for (const Paragraph& p : text_.paragraphs) {
        for (const TextRun& r : p.runs)
            addStyle(r.style);
        addStyle(p.markStyle);
        bullets = bullets || p.list.kind == ListKind::Bullet;
    }
    if (bullets) {
        for (size_t i = 0; i < fonts_.size(); ++i)
            if (fonts_[i] == QLatin1String("Symbol"))
                symbolFont_ = static_cast<int>(i);
        if (symbolFont_ < 0) {
            symbolFont_ = static_cast<int>(fonts_.size());
            fonts_.push_back(QStringLiteral("Symbol"));
        }
    }
}

void Writer::word(const char* w) {
    out_ += '\\';
    out_ += w;
    pendingSpace_ = true;
}

void Writer::word(const char* w, int param) {
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, param);
    out_ += '\\';
    out_ += w;
    out_.append(buf, res.ptr);
    pendingSpace_ = true;
}

void Writer::text(const QString& s, bool fontName) {
    static const char kHex[] = "0123456789abcdef";
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (c == '\t') {
            word("tab");
            continue;
        }
        if (c == 0x2028) {
            word("line");
            continue;
        }
        if (c < 0x20)
            continue;
        if (c == ';' && fontName) {
            out_ += "\\'3b";  // a bare ';' would end the name
            pendingSpace_ = false;
            continue;
        }
        if (c == '\\' || c == '{' || c == '}') {
            out_ += '\\';
            out_ += static_cast<char>(c);
            pendingSpace_ = false;
            continue;
        }
        if (c < 0x80) {
            if (pendingSpace_)
                out_ += ' ';
            pendingSpace_ = false;
            out_ += static_cast<char>(c);
            continue;
        }
        const int byte = QChar::isSurrogate(c) ? -1 : page_->byteFor(c);
        if (byte >= 0) {
            out_ += "\\'";
            out_ += kHex[byte >> 4];
            out_ += kHex[byte & 15];
            pendingSpace_ = false;
        } else {
            // Signed 16-bit, as RTF readers expect; '?' stands in for readers
            // without Unicode.
            word("u", c > 0x7FFF ? static_cast<int>(c) - 0x10000 : static_cast<int>(c));
            out_ += '?';
            pendingSpace_ = false;
        }
    }
}

void Writer::styleChanges(const CharStyle& s) {
    const int font = fontIndex(s.family);
    if (font != curFont_)
        word("f", font);
    curFont_ = font;
    const int size = s.halfPoints > 0 ? s.halfPoints : options_.defaultHalfPoints;
    if (size != curHalfPoints_)
        word("fs", size);
    curHalfPoints_ = size;
    if (s.bold != cur_.bold)
        s.bold ? word("b") : word("b", 0);
    if (s.italic != cur_.italic)
        s.italic ? word("i") : word("i", 0);
    if (s.strikeOut != cur_.strikeOut)
        s.strikeOut ? word("strike") : word("strike", 0);
    if (s.underline != cur_.underline) {
        switch (s.underline) {
            case UnderlineKind::None:
                word("ulnone");
                break;
            case UnderlineKind::Single:
                word("ul");
                break;
            case UnderlineKind::Dotted:
                word("uld");
                break;
            case UnderlineKind::Dashed:
                word("uldash");
                break;
            case UnderlineKind::DashDot:
                word("uldashd");
                break;
            case UnderlineKind::DashDotDot:
                word("uldashdd");
                break;
            case UnderlineKind::Wave:
                word("ulwave");
                break;
        }
    }
    if (s.position != cur_.position) {
        switch (s.position) {
            case VerticalPosition::Normal:
                word("nosupersub");
                break;
            case VerticalPosition::Superscript:
                word("super");
                break;
            case VerticalPosition::Subscript:
                word("sub");
                break;
        }
    }
    if (s.foreground != cur_.foreground)
        word("cf", colorIndex(s.foreground));
    if (s.background != cur_.background)
        word("highlight", colorIndex(s.background));
    cur_ = s;
}

void Writer::listText(const Paragraph& p, int number) {
    raw("{");
    word("pntext");
    if (p.list.kind == ListKind::Bullet) {
        word("f", symbolFont_);
        raw("\\'b7");
    } else {
        word("f", fontIndex(p.markStyle.family));
        text(listLabel(p.list, number));
    }
    word("tab");
    raw("}");
}

void Writer::paragraphFormat(const Paragraph& p, int number) {
    word("pard");
    if (p.list.kind != ListKind::None)
        listText(p, number);
    if (p.list.kind == ListKind::Bullet) {
        raw("{\\*");
        word("pn");
        word("pnlvlblt");
        word("pnf", symbolFont_);
        word("pnindent", 0);
        raw("{");
        word("pntxtb");
        raw("\\'b7}}");
    } else if (p.list.kind != ListKind::None) {
        raw("{\\*");
        word("pn");
        word("pnlvlbody");
        word("pnf", fontIndex(p.markStyle.family));
        word("pnindent", 0);
        word("pnstart", p.list.start);
        switch (p.list.kind) {
            case ListKind::LowerAlpha:
                word("pnlcltr");
                break;
            case ListKind::UpperAlpha:
                word("pnucltr");
                break;
            case ListKind::LowerRoman:
                word("pnlcrm");
                break;
            case ListKind::UpperRoman:
                word("pnucrm");
                break;
            default:
                word("pndec");
                break;
        }
        if (!p.list.prefix.isEmpty()) {
            raw("{");
            word("pntxtb");
            text(p.list.prefix);
            raw("}");
        }
        if (!p.list.suffix.isEmpty()) {
            raw("{");
            word("pntxta");
            text(p.list.suffix);
            raw("}");
        }
        raw("}");
    }
    switch (p.alignment) {
        case ParagraphAlignment::Left:
            break;
        case ParagraphAlignment::Right:
            word("qr");
            break;
        case ParagraphAlignment::Center:
            word("qc");
            break;
        case ParagraphAlignment::Justify:
            word("qj");
            break;
    }
    if (p.firstIndent != 0)
        word("fi", p.firstIndent);
    if (p.leftIndent != 0)
        word("li", p.leftIndent);
    if (p.rightIndent != 0)
        word("ri", p.rightIndent);
    if (p.spaceBefore != 0)
        word("sb", p.spaceBefore);
    if (p.spaceAfter != 0)
        word("sa", p.spaceAfter);
    if (p.lineSpacing.value != 0) {
        word("sl", p.lineSpacing.value);
        word("slmult", p.lineSpacing.multiple ? 1 : 0);
    }
    for (const TabStop& t : p.tabs) {
        switch (t.kind) {
            case TabKind::Left:
                break;
            case TabKind::Right:
                word("tqr");
                break;
            case TabKind::Center:
                word("tqc");
                break;
            case TabKind::Decimal:
                word("tqdec");
                break;
        }
        word("tx", t.position);
    }
}

std::string Writer::run() {
    collectTables();
    const int charset = charsetForCodePage(page_->number());
    raw("{");
    word("rtf", 1);
    word("ansi");
    word("ansicpg", page_->number());
    word("deff", 0);
    if (page_->number() == 1250)
        word("deflang", 1029);
    else if (page_->number() == 1252)
        word("deflang", 1033);
    raw("{");
    word("fonttbl");
    for (size_t i = 0; i < fonts_.size(); ++i) {
        raw("{");
        word("f", static_cast<int>(i));
        raw(familyKeyword(fonts_[i]));
        word("fcharset", isSymbolFont(fonts_[i]) ? 2 : charset);
        text(fonts_[i], true);
        raw(";}");
    }
    raw("}");
    lineBreak();
    if (!colors_.empty()) {
        raw("{");
        word("colortbl");
        raw(" ;");
        for (std::uint32_t c : colors_) {
            word("red", static_cast<int>((c >> 16) & 0xFF));
            word("green", static_cast<int>((c >> 8) & 0xFF));
            word("blue", static_cast<int>(c & 0xFF));
            raw(";");
        }
        raw("}");
        lineBreak();
    }
    word("viewkind", 4);
    word("uc", 1);

    const Paragraph* previous = nullptr;
    int number = 0;
    for (const Paragraph& p : text_.paragraphs) {
        const bool sameList = previous && p.list.kind != ListKind::None && previous->list == p.list;
        number = sameList ? number + 1 : p.list.start;
        if (!previous || !sameParagraphFormat(*previous, p))
            paragraphFormat(p, number);
        else if (p.list.kind != ListKind::None)
            listText(p, number);
        for (const TextRun& r : p.runs) {
            if (r.text.isEmpty())
                continue;
            styleChanges(r.style);
            text(r.text);
        }
        styleChanges(p.markStyle);
        word("par");
        lineBreak();
        previous = &p;
    }
    raw("}");
    lineBreak();
    return std::move(out_);
}

}  // namespace

std::string RtfWriter::write(const RichText& text, const RtfWriteOptions& options) {
    return Writer(text, options).run();
}

int RtfWriter::systemCodePage() {
    const TextCodec& codec = TextCodec::system();
    // Latin-1 text is written as 1252, which holds all of its letters.
    return codec.codePage() == CodePage::Latin1 ? 1252 : codec.number();
}

}  // namespace platform
