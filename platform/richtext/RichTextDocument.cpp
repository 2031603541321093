#include "platform/richtext/RichTextDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <cmath>

namespace platform {
namespace {

double toUnits(int twips) {
    return twips / RichTextDocument::kTwipsPerUnit;
}

int toTwips(double units) {
    return static_cast<int>(std::lround(units * RichTextDocument::kTwipsPerUnit));
}

QTextListFormat::Style listStyle(ListKind kind) {
    switch (kind) {
        case ListKind::Decimal:
            return QTextListFormat::ListDecimal;
        case ListKind::LowerAlpha:
            return QTextListFormat::ListLowerAlpha;
        case ListKind::UpperAlpha:
            return QTextListFormat::ListUpperAlpha;
        case ListKind::LowerRoman:
            return QTextListFormat::ListLowerRoman;
        case ListKind::UpperRoman:
            return QTextListFormat::ListUpperRoman;
        case ListKind::Bullet:
        case ListKind::None:
            break;
    }
    return QTextListFormat::ListDisc;
}

ListKind listKind(QTextListFormat::Style style) {
    switch (style) {
        case QTextListFormat::ListDecimal:
            return ListKind::Decimal;
        case QTextListFormat::ListLowerAlpha:
            return ListKind::LowerAlpha;
        case QTextListFormat::ListUpperAlpha:
            return ListKind::UpperAlpha;
        case QTextListFormat::ListLowerRoman:
            return ListKind::LowerRoman;
        case QTextListFormat::ListUpperRoman:
            return ListKind::UpperRoman;
        default:
            return ListKind::Bullet;
    }
}

QTextListFormat listFormat(const ListStyle& list) {
    QTextListFormat f;
    f.setStyle(listStyle(list.kind));
    f.setIndent(0);
    if (list.kind != ListKind::Bullet) {
        f.setNumberPrefix(list.prefix);
        f.setNumberSuffix(list.suffix);
        f.setProperty(RichTextDocument::kListStartProperty, list.start);
    }
    return f;
}

QTextBlockFormat blockFormat(const Paragraph& p) {
    QTextBlockFormat f;
    switch (p.alignment) {
        case ParagraphAlignment::Left:
            f.setAlignment(Qt::AlignLeft);
            break;
        case ParagraphAlignment::Right:
            f.setAlignment(Qt::AlignRight);
            break;
        case ParagraphAlignment::Center:
            f.setAlignment(Qt::AlignHCenter);
            break;
        case ParagraphAlignment::Justify:
            f.setAlignment(Qt::AlignJustify);
            break;
    }
    f.setLeftMargin(toUnits(p.leftIndent));
    f.setRightMargin(toUnits(p.rightIndent));
    f.setTopMargin(toUnits(p.spaceBefore));
    f.setBottomMargin(toUnits(p.spaceAfter));
    if (p.list.kind != ListKind::None && p.firstIndent < 0) {
        // The bullet sits in the hanging part, left of the text.
        f.setTextIndent(0);
        f.setProperty(RichTextDocument::kHangingIndentProperty, -p.firstIndent);
    } else {
        f.setTextIndent(toUnits(p.firstIndent));
        if (p.list.kind != ListKind::None)
            f.setProperty(RichTextDocument::kHangingIndentProperty, 0);
    }
    if (p.lineSpacing.value != 0) {
        if (p.lineSpacing.multiple)
            f.setLineHeight(p.lineSpacing.value * 100.0 / 240.0,
                            QTextBlockFormat::ProportionalHeight);
        else if (p.lineSpacing.value > 0)
            f.setLineHeight(toUnits(p.lineSpacing.value), QTextBlockFormat::MinimumHeight);
        else
            f.setLineHeight(toUnits(-p.lineSpacing.value), QTextBlockFormat::FixedHeight);
    }
    if (!p.tabs.empty()) {
        QList<QTextOption::Tab> tabs;
        for (const TabStop& t : p.tabs) {
            QTextOption::TabType type = QTextOption::LeftTab;
            QChar delimiter;
            switch (t.kind) {
                case TabKind::Left:
                    break;
                case TabKind::Right:
                    type = QTextOption::RightTab;
                    break;
                case TabKind::Center:
                    type = QTextOption::CenterTab;
                    break;
                case TabKind::Decimal:
                    type = QTextOption::DelimiterTab;
                    delimiter = QLatin1Char('.');
                    break;
            }
            tabs.append(QTextOption::Tab(toUnits(t.position), type, delimiter));
        }
        f.setTabPositions(tabs);
    }
    return f;
}

void readBlockFormat(const QTextDocument& doc, const QTextBlock& block, Paragraph& p) {
    const QTextBlockFormat f = block.blockFormat();
    const Qt::Alignment h = f.alignment() & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignJustify)
        p.alignment = ParagraphAlignment::Justify;
    else if (h & Qt::AlignHCenter)
        p.alignment = ParagraphAlignment::Center;
    else if (h & Qt::AlignRight)
        p.alignment = ParagraphAlignment::Right;
    else
        p.alignment = ParagraphAlignment::Left;

    const double indentWidth = doc.indentWidth();
    double left = f.leftMargin() + f.indent() * indentWidth;
    const QTextList* list = block.textList();
    if (list)
        left += list->format().indent() * indentWidth;
    p.leftIndent = toTwips(left);
    p.rightIndent = toTwips(f.rightMargin());
    p.spaceBefore = toTwips(f.topMargin());
    p.spaceAfter = toTwips(f.bottomMargin());
    p.firstIndent = toTwips(f.textIndent());
    if (list) {
        if (f.hasProperty(RichTextDocument::kHangingIndentProperty)) {
            const int hang = f.intProperty(RichTextDocument::kHangingIndentProperty);
            if (hang > 0)
                p.firstIndent = -hang;
        } else if (p.firstIndent == 0) {
            p.firstIndent = -RichTextDocument::kDefaultHangingIndent;
        }
    }
    switch (f.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            p.lineSpacing = {static_cast<int>(std::lround(f.lineHeight() * 240.0 / 100.0)), true};
            break;
        case QTextBlockFormat::MinimumHeight:
            p.lineSpacing = {toTwips(f.lineHeight()), false};
            break;
        case QTextBlockFormat::FixedHeight:
            p.lineSpacing = {-toTwips(f.lineHeight()), false};
            break;
        default:
            break;
    }
    for (const QTextOption::Tab& t : f.tabPositions()) {
        TabKind kind = TabKind::Left;
        if (t.type == QTextOption::RightTab)
            kind = TabKind::Right;
        else if (t.type == QTextOption::CenterTab)
            kind = TabKind::Center;
        else if (t.type == QTextOption::DelimiterTab)
            kind = TabKind::Decimal;
        p.tabs.push_back(TabStop{toTwips(t.position), kind});
    }
    if (list) {
        const QTextListFormat lf = list->format();
        p.list.kind = listKind(lf.style());
        if (p.list.kind != ListKind::Bullet) {
            p.list.prefix = lf.numberPrefix();
            // Qt shows "." when a list names no suffix.
            p.list.suffix = lf.hasProperty(QTextFormat::ListNumberSuffix) ? lf.numberSuffix()
                                                                          : QStringLiteral(".");
            if (lf.hasProperty(RichTextDocument::kListStartProperty))
                p.list.start = lf.intProperty(RichTextDocument::kListStartProperty);
        }
    }
}

}  // namespace

QTextCharFormat RichTextDocument::charFormat(const CharStyle& s) {
    QTextCharFormat f;
    if (!s.family.isEmpty())
        f.setFontFamilies(QStringList{s.family});
    if (s.halfPoints > 0)
        f.setFontPointSize(s.halfPoints / 2.0);
    if (s.bold)
        f.setFontWeight(QFont::Bold);
    if (s.italic)
        f.setFontItalic(true);
    if (s.strikeOut)
        f.setFontStrikeOut(true);
    switch (s.underline) {
        case UnderlineKind::None:
            break;
        case UnderlineKind::Single:
            f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
            break;
        case UnderlineKind::Dotted:
            f.setUnderlineStyle(QTextCharFormat::DotLine);
            break;
        case UnderlineKind::Dashed:
            f.setUnderlineStyle(QTextCharFormat::DashUnderline);
            break;
        case UnderlineKind::DashDot:
            f.setUnderlineStyle(QTextCharFormat::DashDotLine);
            break;
        case UnderlineKind::DashDotDot:
            f.setUnderlineStyle(QTextCharFormat::DashDotDotLine);
            break;
        case UnderlineKind::Wave:
            f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            break;
    }
    if (s.position == VerticalPosition::Superscript)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (s.position == VerticalPosition::Subscript)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (s.foreground)
        f.setForeground(QColor::fromRgb(static_cast<QRgb>(*s.foreground)));
    if (s.background)
        f.setBackground(QColor::fromRgb(static_cast<QRgb>(*s.background)));
    return f;
}

CharStyle RichTextDocument::charStyle(const QTextCharFormat& f) {
    CharStyle s;
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        s.family = families.front();
    else
        s.family = f.stringProperty(QTextFormat::FontFamily);  // formats made before Qt 6.1
    if (f.fontPointSize() > 0)
        s.halfPoints = static_cast<int>(std::lround(f.fontPointSize() * 2));
    else if (f.intProperty(QTextFormat::FontPixelSize) > 0)  // pasted HTML sizes (96 dpi)
        s.halfPoints =
            static_cast<int>(std::lround(f.intProperty(QTextFormat::FontPixelSize) * 1.5));
    s.bold = f.fontWeight() >= QFont::DemiBold;
    s.italic = f.fontItalic();
    s.strikeOut = f.fontStrikeOut();
    switch (f.underlineStyle()) {
        case QTextCharFormat::SingleUnderline:
            s.underline = UnderlineKind::Single;
            break;
        case QTextCharFormat::DotLine:
            s.underline = UnderlineKind::Dotted;
            break;
        case QTextCharFormat::DashUnderline:
            s.underline = UnderlineKind::Dashed;
            break;
        case QTextCharFormat::DashDotLine:
            s.underline = UnderlineKind::DashDot;
            break;
        case QTextCharFormat::DashDotDotLine:
            s.underline = UnderlineKind::DashDotDot;
            break;
        case QTextCharFormat::WaveUnderline:
            s.underline = UnderlineKind::Wave;
            break;
        default:
            // The spell checker's line is no formatting of the text.
            s.underline = UnderlineKind::None;
            break;
    }
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        s.position = VerticalPosition::Superscript;
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        s.position = VerticalPosition::Subscript;
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        s.foreground = f.foreground().color().rgb() & 0xFFFFFFu;
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        s.background = f.background().color().rgb() & 0xFFFFFFu;
    return s;
}

void RichTextDocument::fill(QTextDocument& document, const RichText& text) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    QTextList* list = nullptr;
    const ListStyle* listStyleOfList = nullptr;
    bool first = true;
    for (const Paragraph& p : text.paragraphs) {
        const QTextBlockFormat bf = blockFormat(p);
        const QTextCharFormat mark = charFormat(p.markStyle);
        if (first) {
            cursor.setBlockFormat(bf);
            cursor.setBlockCharFormat(mark);
        } else {
            cursor.insertBlock(bf, mark);
        }
        first = false;
        if (p.list.kind == ListKind::None) {
            list = nullptr;
        } else if (list && listStyleOfList && *listStyleOfList == p.list) {
            list->add(cursor.block());
        } else {
            list = cursor.createList(listFormat(p.list));
            listStyleOfList = &p.list;
        }
        for (const TextRun& r : p.runs)
            if (!r.text.isEmpty())
                cursor.insertText(r.text, charFormat(r.style));
    }
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
}

RichText RichTextDocument::extract(const QTextDocument& document) {
    RichText text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        Paragraph p;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            QString t = fragment.text();
            // Images and other objects have no place in the text we keep.
            t.remove(QChar::ObjectReplacementCharacter);
            if (t.isEmpty())
                continue;
            CharStyle style = charStyle(fragment.charFormat());
            if (!p.runs.empty() && p.runs.back().style == style)
                p.runs.back().text += t;
            else
                p.runs.push_back(TextRun{t, std::move(style)});
        }
        p.markStyle = charStyle(block.charFormat());
        readBlockFormat(document, block, p);
        text.paragraphs.push_back(std::move(p));
    }
    return text;
}

}  // namespace platform
