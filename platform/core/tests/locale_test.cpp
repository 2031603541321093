// The suites marked LOCALE_TOO run a second time with LC_ALL=cs_CZ.UTF-8. This
// proves that the second run really sees a decimal comma, so the file-format
// tests that rely on it are not passing vacuously.
#include <QLocale>

#include <gtest/gtest.h>

TEST(TestLocale, CzechRunSeesADecimalComma) {
    const QByteArray lcAll = qgetenv("LC_ALL");
    if (lcAll.startsWith("cs_CZ"))
        EXPECT_EQ(QLocale::system().decimalPoint(), QStringLiteral(","));
    else
        EXPECT_EQ(QLocale::system().decimalPoint(), QStringLiteral("."));
}
