// The cursor readout and the axis label texts of the block chart.
#include "orlo/chart/CursorReadout.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using orlo::TReadout;
using orlo::TReadoutInput;

// Expected texts are written with "." and "_" for the decimal and thousands separators
// of the user's locale.
QString loc(const char* text) {
    const QLocale l = QLocale::system();
    QString out;
    for (const char* p = text; *p; ++p) {
        if (*p == '.')
            out += l.decimalPoint();
        else if (*p == '_')
            out += l.groupSeparator();
        else
            out += QLatin1Char(*p);
    }
    return out;
}

// One sample a second for 200 s: voltage 10 V rising by 0.01 V a sample, 20 A,
// revolutions 1000 rising by one.
orlo::TDataBlock flight() {
    orlo::TDataBlock b;
    b.Interval = 50;
    b.ChannelMask = orlo::ChannelVoltage | orlo::ChannelCurrent | orlo::ChannelRpm;
    for (int k = 0; k < 200; ++k) {
        b.Time.push_back(orlo::SampleTime(k, b.Interval));
        b.Voltage.push_back(10 + 0.01 * k);
        b.Current.push_back(20);
        b.Rpm.push_back(1000 + k);
    }
    orlo::ComputeBlockStatistics(b, 200);
    return b;
}

struct Channels {
    bool u = false, i = false, r = false, c = false;
};

TReadoutInput input(const orlo::TDataBlock* b, double t, Channels on, double value = 12.5) {
    TReadoutInput in;
    in.Block = b;
    in.BlockShown = true;
    in.T = t;
    in.TimeMin = -10;
    in.TimeMax = 300;
    const bool flags[] = {on.u, on.i, on.r, on.c};
    for (std::size_t q = 0; q < 4; ++q)
        in.Channels[q] = {flags[q], value, 0, 2000};
    in.TimeSorted = true;
    return in;
}

const char* const kDash = "-";

TEST(ChartCursorReadout, LabelAndFieldsForTheActualBlock) {
    const orlo::TDataBlock b = flight();
    struct Case {
        const char* name;
        TReadoutInput in;
        const char* label;
        std::array<const char*, 7> fields;  // U, I, R, C, P, E, Time
    };
    const std::array<const char*, 7> at126 = {"11.26",  "20.00", "1126",  "0.71",
                                              "225.20", "7.50",  "2:05,7"};
    const std::array<const char*, 7> allDash = {kDash, kDash, kDash, kDash, kDash, kDash, kDash};
    TReadoutInput notShown = input(&b, 125.7, {true});
    notShown.BlockShown = false;
    TReadoutInput outsideAxis = input(&b, 125.7, {true, true});
    outsideAxis.Channels[1].Max = 10;  // the mouse is above the current axis
    TReadoutInput beyondAxis = input(&b, 125.7, {true});
    beyondAxis.TimeMax = 100;
    TReadoutInput belowAxis = input(&b, 5, {true});
    belowAxis.TimeMin = 10;
    const Case cases[] = {
        {"voltage shown", input(&b, 125.7, {true}), "[2 min 5.7 sec, 12.50 V ]", at126},
        {"all four channels", input(&b, 125.7, {true, true, true, true}, 1500.25),
         "[2 min 5.7 sec, 1500.25 V, 1500.25 A, 1500 RPM, 1500.25 Ah ]", at126},
        {"no channel pressed", input(&b, 125.7, {}), "[2 min 5.7 sec ]", at126},
        {"under one minute",
         input(&b, 3.7, {false, true}),
         "[3.7 sec, 12.50 A ]",
         {"10.04", "20.00", "1004", "0.03", "200.80", "0.28", "0:03,7"}},
        {"left of time 0", input(&b, -0.5, {true}), "", allDash},
        {"no actual block", input(nullptr, 125.7, {true}), "", allDash},
        {"box of the block unticked", notShown, "", allDash},
        {"beyond the last sample",
         input(&b, 250, {true}),
         "[4 min 10.0 sec, 12.50 V ]",
         {kDash, kDash, kDash, kDash, kDash, kDash, "4:10"}},
        {"mouse outside a shown channel's axis", outsideAxis, "", allDash},
        {"time right of the axis", beyondAxis, "", allDash},
        {"time left of the axis", belowAxis, "", allDash},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TReadout r = orlo::CursorReadout(c.in);
        EXPECT_EQ(r.Label, loc(c.label));
        for (std::size_t f = 0; f < 7; ++f) {
            // RecTimeText always writes its tenth after a comma.
            const QString expected =
                f == orlo::FieldTime ? QString::fromLatin1(c.fields[f]) : loc(c.fields[f]);
            EXPECT_EQ(r.Fields[f], expected) << "field " << f;
        }
    }
}

TEST(ChartCursorReadout, BlockWithoutCurrentLeavesItsFieldsEmpty) {
    orlo::TDataBlock b;
    b.Interval = 50;
    b.ChannelMask = orlo::ChannelVoltage;
    for (int k = 0; k < 10; ++k) {
        b.Time.push_back(k);
        b.Voltage.push_back(11);
    }
    orlo::ComputeBlockStatistics(b, 10);
    const TReadout r = orlo::CursorReadout(input(&b, 4, {true, true}));
    EXPECT_EQ(r.Fields[orlo::FieldU], loc("11.00"));
    for (auto f : {orlo::FieldI, orlo::FieldR, orlo::FieldC, orlo::FieldP, orlo::FieldE})
        EXPECT_EQ(r.Fields[f], QStringLiteral("-")) << f;
    EXPECT_EQ(r.Fields[orlo::FieldTime], QStringLiteral("0:04"));
}

TEST(ChartCursorReadout, TimeThatGoesBackIsSearchedFromTheStart) {
    // A hand-edited file may hold times out of order; the first late-enough sample wins.
    orlo::TDataBlock b;
    b.Time = {0, 5, 3, 10};
    b.Voltage = {1, 2, 3, 4};
    TReadoutInput in = input(&b, 4, {});
    in.TimeSorted = false;
    EXPECT_EQ(orlo::CursorReadout(in).Fields[orlo::FieldU], loc("2.00"));
}

TEST(ChartAxisLabels, ValueFormats) {
    using F = orlo::TValueFormat;
    struct Case {
        double v;
        F format;
        const char* text;
    };
    const Case cases[] = {
        {1234.5, F::Grouped3, "1_234.5"},   {0.1 + 0.2, F::Grouped3, "0.3"},
        {12.34567, F::Grouped4, "12.3457"}, {-1234567, F::Grouped4, "-1_234_567"},
        {999, F::Grouped3, "999"},          {-0.0001, F::Grouped3, "0"},
        {12345, F::Integer, "12345"},       {2.6, F::Integer, "3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(orlo::AxisValueText(c.v, c.format), loc(c.text)) << c.text;
}

TEST(ChartAxisLabels, MinSecRewriting) {
    struct Case {
        const char* label;
        const char* text;
    };
    const Case cases[] = {
        {"1234", "20:34"}, {"1_234", "20:34"},  // the thousands separator is dropped
        {"12.5", "12.5"},                       // a decimal part stays
        {"0", "0:00"},     {"59", "0:59"},         {"60", "1:00"},
        {"-65", "-1:-5"},  {"1_234.5", "1_234.5"}, {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(orlo::MinSecLabel(loc(c.label)), loc(c.text)) << c.label;
}

TEST(ChartAxisLabels, MinSecOfTheLabelsTheAxisWrites) {
    // What the time axis prints at 1234 s, whatever the locale, becomes 20:34.
    EXPECT_EQ(orlo::MinSecLabel(orlo::AxisValueText(1234, orlo::TValueFormat::Grouped3)),
              QStringLiteral("20:34"));
    EXPECT_EQ(orlo::MinSecLabel(orlo::AxisValueText(7.5, orlo::TValueFormat::Grouped3)),
              orlo::AxisValueText(7.5, orlo::TValueFormat::Grouped3));
}

TEST(ChartAxisLabels, FixedTextUsesTheLocaleSeparator) {
    EXPECT_EQ(orlo::FixedText(3.14159, 2), loc("3.14"));
    EXPECT_EQ(orlo::FixedText(-0.004, 2), loc("-0.00"));
    EXPECT_EQ(orlo::FixedText(1234567.891, 0), QStringLiteral("1234568"));
}

}  // namespace
