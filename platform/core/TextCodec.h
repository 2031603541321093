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

// The single-byte code pages with a table here. New pages go at the end: the
// order is the index of each page's table.
enum class CodePage {
    Windows1250,
    Windows1252,
    Latin1,
    Windows874,
    Windows1251,
    Windows1253,
    Windows1254,
    Windows1255,
    Windows1256,
    Windows1257,
    Windows1258,
};

class TextCodec {
public:
    explicit TextCodec(CodePage page = CodePage::Windows1250);

    CodePage codePage() const { return page_; }
    // The Windows number of the code page (28591 for Latin-1).
    int number() const;

    QString toUnicode(std::string_view bytes) const;
    // Characters without a byte in this code page become '?'.
    std::string fromUnicode(const QString& text) const;

    // The byte for one code point, or -1 when the code page has none.
    int byteFor(char32_t codePoint) const;
    char16_t codePointFor(unsigned char byte) const { return table_[byte]; }

    // The program-wide codec (Windows-1250 unless changed at start-up).
    static const TextCodec& system();
    static void setSystemCodePage(CodePage page);

    // The codec of the code page with that Windows number, or nullptr when there is
    // no table for it here (multi-byte code pages among them).
    static const TextCodec* forNumber(int number);

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
