#pragma once
// RTF bytes to and from a QTextDocument: the one entry point for notes and
// protocols. Text that does not start with "{\rtf" loads as plain text.

#include "platform/richtext/RtfWriter.h"

#include <QByteArray>

#include <string>
#include <string_view>

class QTextDocument;

namespace platform {

class RtfCodec {
public:
    static void load(QTextDocument& document, std::string_view bytes);
    static void load(QTextDocument& document, const QByteArray& bytes);

    // Writes with the system code page and the document's default font for text
    // that names no font or size.
    static std::string save(const QTextDocument& document);
    static std::string save(const QTextDocument& document, const RtfWriteOptions& options);
    static QByteArray saveBytes(const QTextDocument& document);

    static RtfWriteOptions defaultOptions(const QTextDocument& document);
};

}  // namespace platform
