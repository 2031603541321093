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

}  // namespace
}  // namespace platform
