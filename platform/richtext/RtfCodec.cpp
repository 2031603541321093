#include "platform/richtext/RtfCodec.h"

#include "platform/richtext/RichTextDocument.h"
#include "platform/richtext/RtfReader.h"

#include <QTextDocument>

#include <cmath>

namespace platform {

void RtfCodec::load(QTextDocument& document, std::string_view bytes) {
    RichTextDocument::fill(document, RtfReader::read(bytes));
}

void RtfCodec::load(QTextDocument& document, const QByteArray& bytes) {
    load(document, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

RtfWriteOptions RtfCodec::defaultOptions(const QTextDocument& document) {
    RtfWriteOptions options;
    options.codePage = RtfWriter::systemCodePage();
    const QFont font = document.defaultFont();
    if (!font.family().isEmpty())
        options.defaultFamily = font.family();
    if (font.pointSizeF() > 0)
        options.defaultHalfPoints = static_cast<int>(std::lround(font.pointSizeF() * 2));
    return options;
}

std::string RtfCodec::save(const QTextDocument& document) {
    return save(document, defaultOptions(document));
}

std::string RtfCodec::save(const QTextDocument& document, const RtfWriteOptions& options) {
    return RtfWriter::write(RichTextDocument::extract(document), options);
}

QByteArray RtfCodec::saveBytes(const QTextDocument& document) {
    const std::string rtf = save(document);
    return QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size()));
}

}  // namespace platform
