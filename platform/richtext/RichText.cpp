#include "platform/richtext/RichText.h"

namespace platform {

QString Paragraph::text() const {
    QString out;
    for (const TextRun& run : runs)
        out += run.text;
    return out;
}

QString RichText::plainText() const {
    QString out;
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            out += QLatin1Char('\n');
        out += paragraphs[i].text();
    }
    return out;
}

}  // namespace platform
