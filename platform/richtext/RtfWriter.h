#pragma once
// Writes the RichText model as RTF in the form a Windows rich-edit control
// saves it: 8-bit text of one code page with \'hh escapes for its upper half,
// \uN? for characters the code page lacks, CR LF line ends.

#include "platform/richtext/RichText.h"

#include <string>

namespace platform {

struct RtfWriteOptions {
    int codePage = 1250;  // an 8-bit code page with a table; others write as 1252
    QString defaultFamily = QStringLiteral("Arial");  // for text without a font
    int defaultHalfPoints = 20;                       // for text without a size
};

class RtfWriter {
public:
    static std::string write(const RichText& text, const RtfWriteOptions& options = {});

    // The code page of the program-wide text codec.
    static int systemCodePage();
};

}  // namespace platform
