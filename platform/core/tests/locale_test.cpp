// The suites marked LOCALE_TOO run a second time with LC_ALL=cs_CZ.UTF-8. This
// proves that the second run really sees a decimal comma, so the file-format
// tests that rely on it are not passing vacuously.
#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

TEST(TestLocale, CzechRunSeesADecimalComma) {
    const QByteArray lcAll = qgetenv("LC_ALL");
    if (lcAll.startsWith("cs_CZ"))
        EXPECT_EQ(QLocale::system().decimalPoint(), QStringLiteral(","));
    else
        EXPECT_EQ(QLocale::system().decimalPoint(), QStringLiteral("."));
}

// Qt hands the environment's locale to the C library as well. When the system lacks
// the locale, the C library silently stays on "C" and a printf or strtod that slipped
// into file code would go unnoticed; the Czech run must see the comma there too.
TEST(TestLocale, CzechRunReachesTheCLibrary) {
    const std::string point = std::localeconv()->decimal_point;
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 0.5);
    if (qgetenv("LC_ALL").startsWith("cs_CZ")) {
        EXPECT_EQ(point, ",");
        EXPECT_STREQ(text, "0,5");
    } else {
        EXPECT_EQ(point, ".");
        EXPECT_STREQ(text, "0.5");
    }
}
