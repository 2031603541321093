#pragma once
// Moves the RichText model into a QTextDocument and back.
//
// Document lengths are pixels at 96 dpi, so one unit is 15 twips. List
// paragraphs keep their indents in the block margins (the list itself adds no
// indent); the hanging part of the first line, where a rich-edit control puts
// the bullet, is kept in a block property so that it survives a round trip.

#include "platform/richtext/RichText.h"

#include <QTextFormat>

class QTextDocument;

namespace platform {

class RichTextDocument {
public:
    static constexpr double kTwipsPerUnit = 15.0;
    // Block property: the hanging first-line indent of a list paragraph, in twips.
    static constexpr int kHangingIndentProperty = QTextFormat::UserProperty + 0x4801;
    // List property: the first number of a numbered list.
    static constexpr int kListStartProperty = QTextFormat::UserProperty + 0x4802;
    // The hanging indent given to list paragraphs that have none of their own.
    static constexpr int kDefaultHangingIndent = 360;

    // Replaces the document's content; the load is not an undoable edit and
    // leaves the document unmodified.
    static void fill(QTextDocument& document, const RichText& text);
    static RichText extract(const QTextDocument& document);

    static QTextCharFormat charFormat(const CharStyle& style);
    static CharStyle charStyle(const QTextCharFormat& format);
};

}  // namespace platform
