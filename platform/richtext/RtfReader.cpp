#include "platform/richtext/RtfReader.h"

#include "platform/core/HexDigit.h"
#include "platform/richtext/RtfCharset.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

namespace platform {
namespace {

enum class Destination : std::uint8_t {
    Text,
    Skip,
    FontTable,
    ColorTable,
    ListNumbering,   // \pn
    ListTextBefore,  // \pntxtb
    ListTextAfter,   // \pntxta
};

struct ParagraphState {
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    LineSpacing lineSpacing;
    std::vector<TabStop> tabs;
    TabKind pendingTab = TabKind::Left;
    ListStyle list;
};

struct GroupState {
    Destination destination = Destination::Text;
    int font = -1;  // -1: the default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    bool hidden = false;
    UnderlineKind underline = UnderlineKind::None;
    VerticalPosition position = VerticalPosition::Normal;
    int foreground = 0;   // colour table index; 0 automatic
    int background = 0;   // colour table index; 0 none
    int unicodeSkip = 1;  // \ucN
    ParagraphState paragraph;
};

struct FontEntry {
    QString name;
    bool nameDone = false;
    int charset = 1;
    int codePage = -1;  // \cpg overrides the character set
};

struct ColorEntry {
    int red = -1;
    int green = -1;
    int blue = -1;
};

// The \pn group of the paragraph being read.
struct ListNumbering {
    enum class Level { Bullet, Numbered, Continued } level = Level::Numbered;
    ListKind numberKind = ListKind::Decimal;
    int start = 1;
    QString before;
    QString after;
};

// Destinations whose content is never text of the document, even without \*.
constexpr const char* kSkippedDestinations[] = {
    "stylesheet",   "info",
    "pict",         "object",
    "header",       "headerl",
    "headerr",      "headerf",
    "footer",       "footerl",
    "footerr",      "footerf",
    "footnote",     "annotation",
    "pntext",       "listtext",
    "fldinst",      "xe",
    "tc",           "txe",
    "rxe",          "template",
    "revtbl",       "shppict",
    "nonshppict",   "shp",
    "shpinst",      "datafield",
    "listtable",    "listoverridetable",
    "themedata",    "colorschememapping",
    "latentstyles", "datastore",
    "xmlnstbl",     "generator",
    "bkmkstart",    "bkmkend",
    "userprops",    "docvar",
    "objdata",      "result",
    "filetbl",      "rsidtbl",
    "mmathPr",      "fchars",
    "lchars",       "author",
    "title",        "subject",
    "operator",     "keywords",
    "comment",      "doccomm",
};

bool isSkippedDestination(std::string_view word) {
    for (const char* name : kSkippedDestinations)
        if (word == name)
            return true;
    return false;
}

class Parser {
public:
    explicit Parser(std::string_view in) : in_(in) {}

    RichText run();

private:
    // Tokens
    void controlWord(std::string_view word, bool hasParam, int param);
    void controlSymbol(char c);
    void hexByte();
    void openGroup();
    void closeGroup();
    void textByte(unsigned char byte);
    void character(char16_t c);
    bool skippingFallback();

    // Destinations and properties
    bool characterProperty(std::string_view word, bool hasParam, int param);
    bool paragraphProperty(std::string_view word, bool hasParam, int param);
    void listProperty(std::string_view word, bool hasParam, int param);
    void beginDestination(Destination d) { state().destination = d; }

    // Text of the document
    CharStyle resolvedStyle() const;
    const TextCodec& textCodePage() const;
    void appendToParagraph(char16_t c);
    void endParagraph();
    void finishFontName(FontEntry& font);

    GroupState& state() { return stack_.back(); }
    const GroupState& state() const { return stack_.back(); }

    std::string_view in_;
    size_t pos_ = 0;
    std::vector<GroupState> stack_;
    int overflow_ = 0;  // groups opened beyond kMaxDepth
    bool done_ = false;
    bool ignorableNext_ = false;  // after \*
    int fallbackLeft_ = 0;        // \uN fallback characters still to skip

    const TextCodec* documentPage_ = TextCodec::forNumber(1252);
    int defaultFont_ = 0;
    std::map<int, FontEntry> fonts_;
    int fontInTable_ = -1;  // the entry the font table is filling
    std::vector<ColorEntry> colors_;
    ColorEntry colorInTable_;
    ListNumbering numbering_;

    RichText result_;
    Paragraph paragraph_;
    bool paragraphOpen_ = false;  // text (or a mark) arrived since the last \par
    // The resolved style of plain text, kept while only text arrives.
    CharStyle textStyle_;
    bool textStyleValid_ = false;
};

// Parameters are read as up to 10 digits (more are consumed but ignored) and
// clamped to the int range.
int clampParam(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -2147483647LL - 1, 2147483647LL));
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

RichText Parser::run() {
    while (pos_ < in_.size() && !done_) {
        const char c = in_[pos_];
        if (c == '{') {
            ++pos_;
            if (skippingFallback())
                fallbackLeft_ = 0;
            openGroup();
        } else if (c == '}') {
            ++pos_;
            fallbackLeft_ = 0;
            closeGroup();
        } else if (c == '\\') {
            ++pos_;
            if (pos_ >= in_.size())
                break;
            const char next = in_[pos_];
            if (isLetter(next)) {
                const size_t start = pos_;
                while (pos_ < in_.size() && isLetter(in_[pos_]))
                    ++pos_;
                // Real control words are at most 32 letters; longer ones are unknown anyway.
                std::string_view word = in_.substr(start, std::min<size_t>(pos_ - start, 32));
                bool hasParam = false;
                std::int64_t value = 0;
                bool negative = false;
                if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
                    negative = true;
                    ++pos_;
                }
                int digits = 0;
                while (pos_ < in_.size() && isDigit(in_[pos_])) {
                    if (digits < 10)
                        value = value * 10 + (in_[pos_] - '0');
                    ++digits;
                    ++pos_;
                }
                hasParam = digits > 0;
                if (pos_ < in_.size() && in_[pos_] == ' ')
                    ++pos_;
                if (skippingFallback()) {
                    --fallbackLeft_;
                    // \bin data belongs to the skipped character as well
                    if (word != "bin")
                        continue;
                }
                controlWord(word, hasParam, clampParam(negative ? -value : value));
            } else {
                ++pos_;
                if (next == '\'') {
                    if (skippingFallback()) {
                        --fallbackLeft_;
                        for (int i = 0; i < 2 && pos_ < in_.size() &&
                                        std::isxdigit(static_cast<unsigned char>(in_[pos_]));
                             ++i)
                            ++pos_;
                        continue;
                    }
                    hexByte();
                } else {
                    if (skippingFallback()) {
                        --fallbackLeft_;
                        continue;
                    }
                    controlSymbol(next);
                }
            }
        } else {
            ++pos_;
            if (c == '\r' || c == '\n')
                continue;
            if (skippingFallback()) {
                --fallbackLeft_;
                continue;
            }
            textByte(static_cast<unsigned char>(c));
        }
    }
    // An unterminated document keeps what was read.
    if (paragraphOpen_ || result_.paragraphs.empty())
        endParagraph();
    return std::move(result_);
}

bool Parser::skippingFallback() {
    return fallbackLeft_ > 0;
}

void Parser::openGroup() {
    ignorableNext_ = false;
    if (stack_.empty()) {
        stack_.emplace_back();
        return;
    }
    if (static_cast<int>(stack_.size()) >= RtfReader::kMaxDepth) {
        ++overflow_;
        return;
    }
    stack_.push_back(stack_.back());
}

void Parser::closeGroup() {
    ignorableNext_ = false;
    textStyleValid_ = false;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (stack_.empty()) {
        done_ = true;
        return;
    }
    // The last paragraph of a document without a final \par takes the
    // paragraph properties in force at the end.
    if (stack_.size() == 1 && paragraphOpen_)
        endParagraph();
    const Destination closing = stack_.back().destination;
    if (closing == Destination::FontTable && fontInTable_ >= 0) {
        finishFontName(fonts_[fontInTable_]);
    }
    stack_.pop_back();
    if (stack_.empty()) {
        done_ = true;
        return;
    }
    if (closing == Destination::ListNumbering &&
        state().destination != Destination::ListNumbering) {
        ListStyle& list = state().paragraph.list;
        list = ListStyle{};
        switch (numbering_.level) {
            case ListNumbering::Level::Bullet:
                list.kind = ListKind::Bullet;
                break;
            case ListNumbering::Level::Numbered:
                list.kind = numbering_.numberKind;
                list.start = numbering_.start;
                list.prefix = numbering_.before;
                list.suffix = numbering_.after;
                break;
            case ListNumbering::Level::Continued:
                break;
        }
    }
}

void Parser::finishFontName(FontEntry& font) {
    if (!font.nameDone) {
        font.name = font.name.trimmed();
        font.nameDone = true;
    }
}

void Parser::controlSymbol(char c) {
    switch (c) {
        case '\\':
        case '{':
        case '}':
            textByte(static_cast<unsigned char>(c));
            break;
        case '~':
            character(0x00A0);
            break;
        case '-':
            character(0x00AD);
            break;
        case '_':
            character(0x2011);
            break;
        case '*':
            ignorableNext_ = true;
            break;
        case '\r':
        case '\n':
            controlWord("par", false, 0);
            break;
        case '\t':
            character('\t');
            break;
        default:
            break;  // \| \: and unknown symbols
    }
}

void Parser::hexByte() {
    int value = 0;
    int digits = 0;
    while (digits < 2 && pos_ < in_.size()) {
        const int d = hexDigitValue(in_[pos_]);
        if (d < 0)
            break;
        value = value * 16 + d;
        ++digits;
        ++pos_;
    }
    if (digits == 0)
        return;
    const Destination d = state().destination;
    if (d == Destination::Text || d == Destination::ListTextBefore ||
        d == Destination::ListTextAfter || d == Destination::FontTable) {
        const TextCodec& page = textCodePage();
        character(page.codePointFor(static_cast<unsigned char>(value)));
    }
}

void Parser::textByte(unsigned char byte) {
    if (stack_.empty())
        return;
    ignorableNext_ = false;  // \* stands before a control word or not at all
    if (byte < 0x20 && byte != '\t')
        return;
    if (state().destination == Destination::ColorTable) {
        if (byte == ';') {
            textStyleValid_ = false;
            colors_.push_back(colorInTable_);
            colorInTable_ = ColorEntry{};
        }
        return;
    }
    if (state().destination == Destination::FontTable) {
        if (fontInTable_ < 0)
            return;
        FontEntry& font = fonts_[fontInTable_];
        if (byte == ';') {
            finishFontName(font);
            return;
        }
    }
    if (byte == '\t') {
        character('\t');
        return;
    }
    if (byte < 0x80) {
        character(byte);
        return;
    }
    character(textCodePage().codePointFor(byte));
}

void Parser::character(char16_t c) {
    if (stack_.empty())
        return;
    // Control characters and the characters a text document reserves for its
    // own structure have no meaning in the text.
    if ((c < 0x20 && c != '\t') || c == 0xFFFC || c == 0xFDD0 || c == 0xFDD1)
        return;
    if (c == 0x2029)
        c = 0x2028;
    if (state().destination != Destination::Text)
        textStyleValid_ = false;  // font names change what text resolves to
    switch (state().destination) {
        case Destination::Text:
            if (!state().hidden)
                appendToParagraph(c);
            break;
        case Destination::FontTable:
            if (fontInTable_ >= 0) {
                FontEntry& font = fonts_[fontInTable_];
                // Names are short; a longer one is hostile input.
                if (!font.nameDone && font.name.size() < 256)
                    font.name.append(QChar(c));
            }
            break;
        case Destination::ListTextBefore:
            if (numbering_.before.size() < 32)
                numbering_.before.append(QChar(c));
            break;
        case Destination::ListTextAfter:
            if (numbering_.after.size() < 32)
                numbering_.after.append(QChar(c));
            break;
        default:
            break;
    }
}

const TextCodec& Parser::textCodePage() const {
    int font = -1;
    if (!stack_.empty()) {
        if (state().destination == Destination::FontTable)
            font = fontInTable_;
        else
            font = state().font >= 0 ? state().font : defaultFont_;
    }
    if (font >= 0) {
        auto it = fonts_.find(font);
        if (it != fonts_.end()) {
            int page = it->second.codePage;
            if (page < 0)
                page = codePageForCharset(it->second.charset);
            if (page >= 0)
                if (const TextCodec* table = TextCodec::forNumber(page))
                    return *table;
        }
    }
    return *documentPage_;
}

CharStyle Parser::resolvedStyle() const {
    const GroupState& s = state();
    CharStyle style;
    const int font = s.font >= 0 ? s.font : defaultFont_;
    if (auto it = fonts_.find(font); it != fonts_.end())
        style.family = it->second.name.trimmed();  // unfinished names too
    style.halfPoints = s.halfPoints;
    style.bold = s.bold;
    style.italic = s.italic;
    style.strikeOut = s.strikeOut;
    style.underline = s.underline;
    style.position = s.position;
    auto color = [this](int index) -> std::optional<std::uint32_t> {
        if (index <= 0 || index >= static_cast<int>(colors_.size()))
            return std::nullopt;
        const ColorEntry& e = colors_[static_cast<size_t>(index)];
        if (e.red < 0 && e.green < 0 && e.blue < 0)
            return std::nullopt;  // the "automatic" entry
        auto part = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
        return (part(e.red) << 16) | (part(e.green) << 8) | part(e.blue);
    };
    style.foreground = color(s.foreground);
    style.background = color(s.background);
    return style;
}

void Parser::appendToParagraph(char16_t c) {
    if (!textStyleValid_) {
        textStyle_ = resolvedStyle();
        textStyleValid_ = true;
    }
    paragraphOpen_ = true;
    if (paragraph_.runs.empty() || !(paragraph_.runs.back().style == textStyle_))
        paragraph_.runs.push_back(TextRun{QString(), textStyle_});
    paragraph_.runs.back().text.append(QChar(c));
}

void Parser::endParagraph() {
    const ParagraphState& p = stack_.empty() ? ParagraphState{} : state().paragraph;
    paragraph_.markStyle = stack_.empty() ? CharStyle{} : resolvedStyle();
    paragraph_.alignment = p.alignment;
    paragraph_.leftIndent = p.leftIndent;
    paragraph_.rightIndent = p.rightIndent;
    paragraph_.firstIndent = p.firstIndent;
    paragraph_.spaceBefore = p.spaceBefore;
    paragraph_.spaceAfter = p.spaceAfter;
    paragraph_.lineSpacing = p.lineSpacing;
    if (paragraph_.lineSpacing.value == 0)
        paragraph_.lineSpacing.multiple = false;
    paragraph_.tabs = p.tabs;
    paragraph_.list = p.list;
    result_.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = Paragraph{};
    paragraphOpen_ = false;
}

void Parser::controlWord(std::string_view word, bool hasParam, int param) {
    if (stack_.empty())
        return;  // nothing before the first group counts
    const bool ignorable = ignorableNext_;
    ignorableNext_ = false;
    textStyleValid_ = false;

    // Binary data is skipped in every destination.
    if (word == "bin") {
        if (hasParam && param > 0)
            pos_ = std::min(in_.size(), pos_ + static_cast<size_t>(param));
        return;
    }

    Destination& dest = state().destination;
    if (dest == Destination::Skip)
        return;

    // Destinations
    if (word == "fonttbl") {
        beginDestination(Destination::FontTable);
        return;
    }
    if (word == "colortbl") {
        beginDestination(Destination::ColorTable);
        colorInTable_ = ColorEntry{};
        return;
    }
    if (word == "pn") {
        beginDestination(Destination::ListNumbering);
        numbering_ = ListNumbering{};
        return;
    }
    if (word == "pntxtb" || word == "pntxta") {
        if (dest == Destination::ListNumbering) {
            const bool before = word == "pntxtb";
            (before ? numbering_.before : numbering_.after).clear();
            beginDestination(before ? Destination::ListTextBefore : Destination::ListTextAfter);
        } else {
            beginDestination(Destination::Skip);
        }
        return;
    }
    if (isSkippedDestination(word)) {
        beginDestination(Destination::Skip);
        return;
    }

    switch (dest) {
        case Destination::FontTable:
            if (word == "f" && hasParam) {
                if (fontInTable_ >= 0)
                    finishFontName(fonts_[fontInTable_]);
                fontInTable_ = param;
                fonts_[param] = FontEntry{};
            } else if (word == "fcharset" && hasParam && fontInTable_ >= 0) {
                fonts_[fontInTable_].charset = param;
            } else if (word == "cpg" && hasParam && fontInTable_ >= 0) {
                fonts_[fontInTable_].codePage = param;
            } else if (ignorable) {
                dest = Destination::Skip;
            } else {
                // Unicode and named characters may spell a font name.
                break;
            }
            return;
        case Destination::ColorTable:
            if (word == "red")
                colorInTable_.red = param;
            else if (word == "green")
                colorInTable_.green = param;
            else if (word == "blue")
                colorInTable_.blue = param;
            else if (ignorable)
                dest = Destination::Skip;
            return;
        case Destination::ListNumbering:
            if (ignorable) {
                dest = Destination::Skip;
                return;
            }
            listProperty(word, hasParam, param);
            return;
        default:
            break;
    }

    // Document-wide settings
    if (word == "ansicpg" && hasParam) {
        if (const TextCodec* t = TextCodec::forNumber(param))
            documentPage_ = t;
        return;
    }
    if (word == "deff" && hasParam) {
        defaultFont_ = param;
        return;
    }

    // Characters
    if (word == "u" && hasParam) {
        const int unit = param < 0 ? param + 65536 : param;
        if (unit >= 0 && unit <= 0xFFFF)
            character(static_cast<char16_t>(unit));
        fallbackLeft_ = std::max(0, state().unicodeSkip);
        return;
    }
    if (word == "uc") {
        state().unicodeSkip = hasParam ? std::clamp(param, 0, 16) : 1;
        return;
    }
    struct Named {
        const char* word;
        char16_t c;
    };
    static constexpr Named kNamed[] = {
        {"tab", '\t'},       {"line", 0x2028},    {"emdash", 0x2014},    {"endash", 0x2013},
        {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},   {"bullet", 0x2022},
        {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
        {"cell", '\t'},
    };
    for (const Named& n : kNamed)
        if (word == n.word) {
            character(n.c);
            return;
        }
    if (word == "par" || word == "row" || word == "page" || word == "sect") {
        if (dest == Destination::Text)
            endParagraph();
        return;
    }

    if (characterProperty(word, hasParam, param))
        return;
    if (paragraphProperty(word, hasParam, param))
        return;

    // An ignorable destination we do not know: drop the whole group.
    if (ignorable)
        dest = Destination::Skip;
}

bool Parser::characterProperty(std::string_view word, bool hasParam, int param) {
    GroupState& s = state();
    const bool on = !hasParam || param != 0;
    if (word == "plain") {
        GroupState fresh;
        s.font = fresh.font;
        s.halfPoints = fresh.halfPoints;
        s.bold = s.italic = s.strikeOut = s.hidden = false;
        s.underline = UnderlineKind::None;
        s.position = VerticalPosition::Normal;
        s.foreground = s.background = 0;
    } else if (word == "f") {
        s.font = hasParam ? param : -1;
    } else if (word == "fs") {
        // Sizes are kept within what any editor shows (1 to 1638 points).
        s.halfPoints = hasParam && param > 0 ? std::min(param, 3276) : 24;
    } else if (word == "b") {
        s.bold = on;
    } else if (word == "i") {
        s.italic = on;
    } else if (word == "strike" || word == "striked") {
        s.strikeOut = on;
    } else if (word == "v") {
        s.hidden = on;
    } else if (word == "ul" || word == "ulw" || word == "uldb" || word == "ulth") {
        s.underline = on ? UnderlineKind::Single : UnderlineKind::None;
    } else if (word == "uld") {
        s.underline = on ? UnderlineKind::Dotted : UnderlineKind::None;
    } else if (word == "uldash") {
        s.underline = on ? UnderlineKind::Dashed : UnderlineKind::None;
    } else if (word == "uldashd") {
        s.underline = on ? UnderlineKind::DashDot : UnderlineKind::None;
    } else if (word == "uldashdd") {
        s.underline = on ? UnderlineKind::DashDotDot : UnderlineKind::None;
    } else if (word == "ulwave") {
        s.underline = on ? UnderlineKind::Wave : UnderlineKind::None;
    } else if (word == "ulnone") {
        s.underline = UnderlineKind::None;
    } else if (word == "super") {
        s.position = on ? VerticalPosition::Superscript : VerticalPosition::Normal;
    } else if (word == "sub") {
        s.position = on ? VerticalPosition::Subscript : VerticalPosition::Normal;
    } else if (word == "nosupersub") {
        s.position = VerticalPosition::Normal;
    } else if (word == "cf") {
        s.foreground = hasParam ? param : 0;
    } else if (word == "highlight" || word == "cb" || word == "chcbpat") {
        s.background = hasParam ? param : 0;
    } else {
        return false;
    }
    return true;
}

bool Parser::paragraphProperty(std::string_view word, bool hasParam, int param) {
    ParagraphState& p = state().paragraph;
    // Indents and spacing beyond about 1.7 m are clamped; no page is that large.
    const int length = hasParam ? std::clamp(param, -100000, 100000) : 0;
    if (word == "pard") {
        p = ParagraphState{};
    } else if (word == "ql") {
        p.alignment = ParagraphAlignment::Left;
    } else if (word == "qr") {
        p.alignment = ParagraphAlignment::Right;
    } else if (word == "qc") {
        p.alignment = ParagraphAlignment::Center;
    } else if (word == "qj") {
        p.alignment = ParagraphAlignment::Justify;
    } else if (word == "li") {
        p.leftIndent = length;
    } else if (word == "ri") {
        p.rightIndent = length;
    } else if (word == "fi") {
        p.firstIndent = length;
    } else if (word == "sb") {
        p.spaceBefore = std::max(0, length);
    } else if (word == "sa") {
        p.spaceAfter = std::max(0, length);
    } else if (word == "sl") {
        p.lineSpacing.value = length;
    } else if (word == "slmult") {
        p.lineSpacing.multiple = hasParam && param != 0;
    } else if (word == "tqr") {
        p.pendingTab = TabKind::Right;
    } else if (word == "tqc") {
        p.pendingTab = TabKind::Center;
    } else if (word == "tqdec") {
        p.pendingTab = TabKind::Decimal;
    } else if (word == "tx") {
        if (static_cast<int>(p.tabs.size()) < RtfReader::kMaxTabStops && length >= 0)
            p.tabs.push_back(TabStop{length, p.pendingTab});
        p.pendingTab = TabKind::Left;
    } else if (word == "tb") {
        p.pendingTab = TabKind::Left;  // bar tabs draw a line; no stop to keep
    } else {
        return false;
    }
    return true;
}

void Parser::listProperty(std::string_view word, bool hasParam, int param) {
    if (word == "pnlvlblt")
        numbering_.level = ListNumbering::Level::Bullet;
    else if (word == "pnlvlbody" || word == "pnlvl")
        numbering_.level = ListNumbering::Level::Numbered;
    else if (word == "pnlvlcont")
        numbering_.level = ListNumbering::Level::Continued;
    else if (word == "pndec")
        numbering_.numberKind = ListKind::Decimal;
    else if (word == "pnlcltr")
        numbering_.numberKind = ListKind::LowerAlpha;
    else if (word == "pnucltr")
        numbering_.numberKind = ListKind::UpperAlpha;
    else if (word == "pnlcrm")
        numbering_.numberKind = ListKind::LowerRoman;
    else if (word == "pnucrm")
        numbering_.numberKind = ListKind::UpperRoman;
    else if (word == "pnstart" && hasParam)
        numbering_.start = std::clamp(param, 0, 32767);
}

}  // namespace

bool RtfReader::isRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

bool RtfReader::endsWithControlWord(std::string_view bytes) {
    size_t end = bytes.size();
    while (end > 0 && isDigit(bytes[end - 1]))
        --end;
    if (end < bytes.size() && end > 0 && bytes[end - 1] == '-')
        --end;
    const size_t lettersEnd = end;
    while (end > 0 && isLetter(bytes[end - 1]))
        --end;
    if (end == lettersEnd || end == 0 || bytes[end - 1] != '\\')
        return false;
    // The backslash starts a control word only when it is not itself escaped: an
    // odd run of backslashes ends in one that opens an escape.
    size_t run = 0;
    while (run < end && bytes[end - 1 - run] == '\\')
        ++run;
    return run % 2 == 1;
}

RichText RtfReader::read(std::string_view bytes, const TextCodec& plainCodec) {
    return isRtf(bytes) ? readRtf(bytes) : readPlainText(bytes, plainCodec);
}

RichText RtfReader::readRtf(std::string_view bytes) {
    return Parser(bytes).run();
}

RichText RtfReader::readPlainText(std::string_view bytes, const TextCodec& codec) {
    RichText text;
    size_t start = 0;
    auto add = [&](size_t end) {
        Paragraph p;
        QString line = codec.toUnicode(bytes.substr(start, end - start));
        // Control characters (a closing NUL among them) are no text to show.
        line.removeIf([](QChar c) { return c.unicode() < 0x20 && c != QLatin1Char('\t'); });
        if (!line.isEmpty())
            p.runs.push_back(TextRun{std::move(line), {}});
        text.paragraphs.push_back(std::move(p));
    };
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            add(i);
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    // A final line end closes the last line rather than opening an empty one.
    if (start < bytes.size() || text.paragraphs.empty())
        add(bytes.size());
    return text;
}

}  // namespace platform
