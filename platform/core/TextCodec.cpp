#include "platform/core/TextCodec.h"

#include <array>
#include <atomic>

namespace platform {
namespace {

// Upper halves (0x80..0xFF) of the Windows code pages. Bytes a code page leaves
// undefined map to the C1 control with the same value so that they survive a
// round trip, as the Windows conversion functions do.
constexpr char16_t kUpper1250[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

constexpr char16_t kUpper1252[128] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB,
    0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3,
    0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

template <const char16_t* Upper>
constexpr std::array<char16_t, 256> makeTable() {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 128; ++b)
        t[b] = static_cast<char16_t>(b);
    for (int b = 128; b < 256; ++b)
        t[b] = Upper[b - 128];
    return t;
}

constexpr std::array<char16_t, 256> makeLatin1() {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = static_cast<char16_t>(b);
    return t;
}

constexpr auto kTable1250 = makeTable<kUpper1250>();
constexpr auto kTable1252 = makeTable<kUpper1252>();
constexpr auto kTableLatin1 = makeLatin1();

const char16_t* tableFor(CodePage page) {
    switch (page) {
        case CodePage::Windows1252:
            return kTable1252.data();
        case CodePage::Latin1:
            return kTableLatin1.data();
        case CodePage::Windows1250:
            break;
    }
    return kTable1250.data();
}

std::atomic<CodePage> gSystemPage{CodePage::Windows1250};

}  // namespace

TextCodec::TextCodec(CodePage page) : page_(page), table_(tableFor(page)) {}

QString TextCodec::toUnicode(std::string_view bytes) const {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* dst = out.data();
    for (char c : bytes)
        *dst++ = QChar(table_[static_cast<unsigned char>(c)]);
    return out;
}

int TextCodec::byteFor(char32_t codePoint) const {
    if (codePoint < 0x80)
        return static_cast<int>(codePoint);
    for (int b = 0x80; b < 256; ++b)
        if (table_[b] == codePoint)
            return b;
    return -1;
}

std::string TextCodec::fromUnicode(const QString& text) const {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t cp = text.at(i).unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;  // a character outside the BMP has no byte anywhere here
            out.push_back('?');
            continue;
        }
        int b = byteFor(cp);
        out.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

const TextCodec& TextCodec::system() {
    static const TextCodec k1250(CodePage::Windows1250);
    static const TextCodec k1252(CodePage::Windows1252);
    static const TextCodec kLatin1(CodePage::Latin1);
    switch (gSystemPage.load()) {
        case CodePage::Windows1252:
            return k1252;
        case CodePage::Latin1:
            return kLatin1;
        case CodePage::Windows1250:
            break;
    }
    return k1250;
}

void TextCodec::setSystemCodePage(CodePage page) {
    gSystemPage.store(page);
}

}  // namespace platform
