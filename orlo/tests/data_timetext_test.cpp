// Time texts of the info panels, cursor readout and time axis.
#include "orlo/data/TDataBlock.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

namespace {

struct TimeCase {
    double seconds;
    const char* fly;  // with "." where the user's decimal separator goes
    const char* rec;
    const char* minSec;
};

// Ties (0.25, 0.75 s) are exact in binary, so they show the rounding of halves to even.
const TimeCase kCases[] = {
    {125.7, "2 min 5.7 sec", "2:05,7", "2:05"},
    {0.0, "0.0 sec", "0:00", "0:00"},
    {59.94, "59.9 sec", "0:59,9", "0:59"},
    {59.96, "60.0 sec", "0:59,10", "0:59"},
    {60.0, "1 min 0.0 sec", "1:00", "1:00"},
    {119.96, "1 min 60.0 sec", "1:59,10", "1:59"},
    {0.25, "0.2 sec", "0:00,2", "0:00"},
    {0.75, "0.8 sec", "0:00,8", "0:00"},
    {9.04, "9.0 sec", "0:09", "0:09"},
    {3725.3, "62 min 5.3 sec", "62:05,3", "62:05"},
    {3600.0, "60 min 0.0 sec", "60:00", "60:00"},
    {-65.0, "-1 min -5.0 sec", "-1:-5", "-1:-5"},
    {-125.7, "-2 min -5.7 sec", "-2:-5", "-2:-5"},
    {-5.5, "-5.5 sec", "0:-5", "0:-5"},
};

QString withUserSeparator(const char* text) {
    QString s = QString::fromLatin1(text);
    s.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
    return s;
}

TEST(TimeTexts, TableOfSeconds) {
    for (const TimeCase& c : kCases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(orlo::FlyTimeText(c.seconds), withUserSeparator(c.fly));
        EXPECT_EQ(orlo::RecTimeText(c.seconds), QString::fromLatin1(c.rec));
        EXPECT_EQ(orlo::MinSecText(c.seconds), QString::fromLatin1(c.minSec));
    }
}

TEST(TimeTexts, FlyTimeUsesTheUserDecimalSeparatorAndRecTimeAlwaysAComma) {
    const QString sep = QLocale::system().decimalPoint();
    EXPECT_TRUE(orlo::FlyTimeText(1.5).contains(sep));
    EXPECT_EQ(orlo::RecTimeText(1.5), QStringLiteral("0:01,5"));
    if (qgetenv("LC_ALL").startsWith("cs_CZ")) {
        EXPECT_EQ(orlo::FlyTimeText(1.5), QStringLiteral("1,5 sec"));
    }
}

TEST(TimeTexts, NotANumberShowsZero) {
    for (double t :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(orlo::MinSecText(t), QStringLiteral("0:00"));
        EXPECT_EQ(orlo::RecTimeText(t), QStringLiteral("0:00"));
        EXPECT_EQ(orlo::FlyTimeText(t), withUserSeparator("0.0 sec"));
    }
}

}  // namespace
