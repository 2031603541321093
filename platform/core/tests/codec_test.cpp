#include "platform/core/TextCodec.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(TextCodec, EveryByteSurvivesARoundTrip) {
    for (CodePage page : {CodePage::Windows1250, CodePage::Windows1252, CodePage::Latin1}) {
        const TextCodec codec(page);
        std::string all;
        for (int b = 0; b < 256; ++b)
            all.push_back(static_cast<char>(b));
        const QString text = codec.toUnicode(all);
        ASSERT_EQ(text.size(), 256);
        EXPECT_EQ(codec.fromUnicode(text), all) << static_cast<int>(page);
    }
}

TEST(TextCodec, CzechLettersOfWindows1250) {
    const TextCodec codec(CodePage::Windows1250);
    // "Nová složka" as Windows-1250 bytes.
    const std::string bytes = "Nov\xE1 slo\x9Eka";
    EXPECT_EQ(codec.toUnicode(bytes), QString::fromUtf8("Nová složka"));
    EXPECT_EQ(codec.fromUnicode(QString::fromUtf8("Příliš žluťoučký kůň")),
              std::string("P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2"));
    EXPECT_EQ(codec.toUnicode("\x80"), QString(QChar(0x20AC)));
}

TEST(TextCodec, UnmappableCharactersBecomeQuestionMarks) {
    const TextCodec codec(CodePage::Windows1250);
    EXPECT_EQ(codec.fromUnicode(QString::fromUtf8("a\u00E6b")), "a?b");  // æ is not in 1250
    EXPECT_EQ(codec.fromUnicode(QString::fromUtf8("x\U0001F600y")), "x?y");
    EXPECT_EQ(codec.byteFor(0x00E6), -1);
}

TEST(TextCodec, EmbeddedZeroBytesAreKept) {
    const std::string bytes("a\0b", 3);
    const QString text = TextCodec::system().toUnicode(bytes);
    EXPECT_EQ(text.size(), 3);
    EXPECT_EQ(fromQt(text), bytes);
}

TEST(TextCodec, EveryCodePageHasItsNumberAndItsLetters) {
    struct Case {
        CodePage page;
        int number;
        unsigned char byte;
        char16_t codePoint;
    };
    const Case cases[] = {
        {CodePage::Windows1250, 1250, 0x9E, 0x017E},  // ž
        {CodePage::Windows1252, 1252, 0x80, 0x20AC},  // €
        {CodePage::Latin1, 28591, 0x80, 0x0080},
        {CodePage::Windows874, 874, 0xA1, 0x0E01},    // Thai ko kai
        {CodePage::Windows1251, 1251, 0xC0, 0x0410},  // Cyrillic A
        {CodePage::Windows1253, 1253, 0xC1, 0x0391},  // Greek Alpha
        {CodePage::Windows1254, 1254, 0xF0, 0x011F},  // ğ
        {CodePage::Windows1255, 1255, 0xE0, 0x05D0},  // alef
        {CodePage::Windows1256, 1256, 0xC7, 0x0627},  // alef
        {CodePage::Windows1257, 1257, 0xE0, 0x0105},  // ą
        {CodePage::Windows1258, 1258, 0xFE, 0x20AB},  // dong sign
    };
    for (const Case& c : cases) {
        const TextCodec codec(c.page);
        EXPECT_EQ(codec.number(), c.number);
        EXPECT_EQ(codec.codePointFor(c.byte), c.codePoint) << c.number;
        EXPECT_EQ(codec.byteFor(c.codePoint), c.byte) << c.number;
        // Every byte maps to one code point and back.
        for (int b = 0; b < 256; ++b)
            ASSERT_EQ(codec.byteFor(codec.codePointFor(static_cast<unsigned char>(b))), b)
                << c.number << " byte " << b;
        const TextCodec* byNumber = TextCodec::forNumber(c.number);
        ASSERT_NE(byNumber, nullptr) << c.number;
        EXPECT_EQ(byNumber->codePage(), c.page);
    }
}

TEST(TextCodec, NoCodecForCodePagesWithoutATable) {
    for (int number : {0, 437, 932, 936, 949, 950, 1200, 1252000, 65001, -1})
        EXPECT_EQ(TextCodec::forNumber(number), nullptr) << number;
}

TEST(TextCodec, SystemCodecFollowsTheChosenCodePage) {
    const CodePage before = TextCodec::system().codePage();
    TextCodec::setSystemCodePage(CodePage::Windows1251);
    EXPECT_EQ(toQt("\xC0"), QString(QChar(0x0410)));
    EXPECT_EQ(fromQt(QString(QChar(0x0410))), "\xC0");
    TextCodec::setSystemCodePage(before);
    EXPECT_EQ(TextCodec::system().codePage(), before);
}

}  // namespace
}  // namespace platform
