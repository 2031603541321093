#pragma once
// Conversion between the 8-bit text of files and devices and QString.
//
// Strings read from files and serial devices stay as their bytes (std::string) in
// the models; they become QString only where they are shown or edited, through
// this codec. Every byte maps to exactly one code point and back, so a string that
// went to the screen and back unedited is byte-identical.

#include <QString>

#include <string>
#include <string_view>

namespace platform {

enum class CodePage { Windows1250, Windows1252, Latin1 };

class TextCodec {
public:
    explicit TextCodec(CodePage page = CodePage::Windows1250);

    CodePage codePage() const { return page_; }

    QString toUnicode(std::string_view bytes) const;
    // Characters without a byte in this code page become '?'.
    std::string fromUnicode(const QString& text) const;

    // The byte for one code point, or -1 when the code page has none.
    int byteFor(char32_t codePoint) const;
    char16_t codePointFor(unsigned char byte) const { return table_[byte]; }

    // The program-wide codec (Windows-1250 unless changed at start-up).
    static const TextCodec& system();
    static void setSystemCodePage(CodePage page);

private:
    CodePage page_;
    const char16_t* table_;
};

// Shorthands through the system codec.
inline QString toQt(std::string_view bytes) {
    return TextCodec::system().toUnicode(bytes);
}
inline std::string fromQt(const QString& text) {
    return TextCodec::system().fromUnicode(text);
}

}  // namespace platform
