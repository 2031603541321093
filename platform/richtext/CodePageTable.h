#pragma once
// Byte tables of the 8-bit Windows code pages that RTF text names by number
// (\ansicpg, \cpg) or through a font's character set (\fcharset).

#include <array>

namespace platform {

class CodePageTable {
public:
    // The table of a code page, or nullptr when there is none for it here
    // (multi-byte code pages among them).
    static const CodePageTable* find(int codePage);

    // The code page a font character set stands for; -1 for the default
    // character set, which means "the document's code page".
    static int codePageForCharset(int charset);
    // The character set that names a code page in a font table (0 for none known).
    static int charsetForCodePage(int codePage);

    int number() const { return number_; }
    char16_t toUnicode(unsigned char byte) const { return table_[byte]; }
    // The byte of a code point, or -1 when the code page has none.
    int byteFor(char32_t codePoint) const;

    CodePageTable(int number, const std::array<char16_t, 256>& table)
        : number_(number), table_(table) {}

private:
    int number_;
    std::array<char16_t, 256> table_;
};

}  // namespace platform
