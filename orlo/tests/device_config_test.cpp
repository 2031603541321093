// The configuration record: what the controls show and how every change is stored,
// and the recording-time estimate.
#include "orlo/device/OrloConfig.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace orlo;

TConfigImage filled(std::uint8_t v) {
    TConfigImage img;
    img.fill(v);
    return img;
}

TEST(DeviceConfigTest, IntervalShownInTenthsAndStoredBackFromTheEdits) {
    struct Case {
        int device;  // bytes 30-31
        const char *min, *sec, *tenth;
        int storedBack;
    };
    const Case cases[] = {
        {15, "0", "0", "1", 10},  // 150 ms shows as 0.1 s
        {100, "0", "1", "0", 100},      {6170, "1", "1", "7", 6170},
        {60000, "10", "0", "0", 60000}, {0, "0", "0", "0", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        TConfigImage img = filled(0x5A);
        SetConfigWord(img, cfg::Interval, c.device);
        const TConfigControls ctl = ConfigControls(img);
        EXPECT_EQ(ctl.MinText, QString::fromLatin1(c.min));
        EXPECT_EQ(ctl.SecText, QString::fromLatin1(c.sec));
        EXPECT_EQ(ctl.TenthText, QString::fromLatin1(c.tenth));
        const TIntervalChange r = StoreInterval(img, ctl.MinText, ctl.SecText, ctl.TenthText);
        EXPECT_TRUE(r.Stored);
        EXPECT_FALSE(r.Clamped);
        EXPECT_EQ(ConfigWord(img, cfg::Interval), c.storedBack);
        EXPECT_EQ(img[29], 0x5A);  // neighbours untouched
        EXPECT_EQ(img[32], 0x5A);
    }
}

TEST(DeviceConfigTest, IntervalAboveTenMinutesIsClampedWithTheMessage) {
    TConfigImage img{};
    const TIntervalChange r =
        StoreInterval(img, QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("1"));
    EXPECT_TRUE(r.Stored);
    EXPECT_TRUE(r.Clamped);
    EXPECT_EQ(r.Error, QStringLiteral("Max Sample rate is 10min"));
    EXPECT_EQ(r.Value, 60000);
    EXPECT_EQ(img[30], 60000 / 256);
    EXPECT_EQ(img[31], 60000 % 256);

    // Empty edits count as 0; an edit that is no integer stores nothing.
    SetConfigWord(img, cfg::Interval, 1234);
    EXPECT_TRUE(StoreInterval(img, {}, QStringLiteral("2"), {}).Stored);
    EXPECT_EQ(ConfigWord(img, cfg::Interval), 200);
    EXPECT_FALSE(StoreInterval(img, QStringLiteral("1x"), QStringLiteral("2"), {}).Stored);
    EXPECT_EQ(ConfigWord(img, cfg::Interval), 200);
    EXPECT_EQ(CheckIntegerText(QStringLiteral("1x")),
              QStringLiteral("'1x' is not a valid integer value"));
    EXPECT_TRUE(CheckIntegerText(QStringLiteral("12")).isEmpty());
    EXPECT_TRUE(CheckIntegerText(QString()).isEmpty());
}

TEST(DeviceConfigTest, LimitedEditsClampAndReportConversionErrors) {
    struct Case {
        const char* name;
        TConfigChange (*store)(TConfigImage&, const QString&);
        int at;
        const char* text;
        bool stored;
        int value;
        const char* corrected;  // nullptr: none
        const char* error;      // nullptr: none
    };
    const Case cases[] = {
        {"start delay 12000", StoreStartDelay, cfg::StartDelay, "12000", true, 9999, "9999",
         nullptr},
        {"start delay 10000", StoreStartDelay, cfg::StartDelay, "10000", true, 9999, "9999",
         nullptr},
        {"start delay 9999", StoreStartDelay, cfg::StartDelay, "9999", true, 9999, nullptr,
         nullptr},
        {"start altitude", StoreStartAltitude, cfg::StartAltitude, "350", true, 350, nullptr,
         nullptr},
        {"finish time 1000 stays", StoreFinishTime, cfg::FinishTime, "1000", true, 1000, nullptr,
         nullptr},
        {"finish time 1001", StoreFinishTime, cfg::FinishTime, "1001", true, 1000, "1000", nullptr},
        {"finish time not a number", StoreFinishTime, cfg::FinishTime, "1e3", false, 0x7777,
         nullptr, "'1e3' is not a valid integer value"},
        {"empty start delay stores nothing", StoreStartDelay, cfg::StartDelay, "", false, 0x7777,
         nullptr, nullptr},
        {"threshold 11.5 V", StoreThreshold, cfg::Threshold, "11.5", true, 959, nullptr, nullptr},
        {"threshold above 12 V", StoreThreshold, cfg::Threshold, "13", true, 1001, "12.0", nullptr},
        {"threshold not a number", StoreThreshold, cfg::Threshold, "1.2.3", false, 0x7777, nullptr,
         "Invalid input value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TConfigImage img = filled(0x77);
        const TConfigChange r = c.store(img, QString::fromLatin1(c.text));
        EXPECT_EQ(r.Stored, c.stored);
        EXPECT_EQ(ConfigWord(img, c.at), c.value);
        EXPECT_EQ(r.Corrected.has_value(), c.corrected != nullptr);
        if (c.corrected && r.Corrected) {
            EXPECT_EQ(*r.Corrected, QString::fromLatin1(c.corrected));
        }
        EXPECT_EQ(r.Error, c.error ? QString::fromLatin1(c.error) : QString());
    }
}

TEST(DeviceConfigTest, ThresholdRoundsHalvesToEvenAndShowsTwoDecimals) {
    TConfigImage img{};
    SetConfigWord(img, cfg::Threshold, 959);
    EXPECT_EQ(ConfigControls(img).ThresholdText, QStringLiteral("11.50"));
    // These voltages divide to exact halves of a step (0.5, 1.5, 2.5, 3.5): each goes
    // to the even step.
    const std::pair<const char*, int> halves[] = {
        {"0.005995", 0}, {"0.017985", 2}, {"0.029975", 2}, {"0.041965", 4}};
    for (const auto& [volts, step] : halves) {
        SCOPED_TRACE(volts);
        ASSERT_TRUE(StoreThreshold(img, QString::fromLatin1(volts)).Stored);
        EXPECT_EQ(ConfigWord(img, cfg::Threshold), step);
    }
    ASSERT_TRUE(StoreThreshold(img, QStringLiteral("12.0")).Stored);
    EXPECT_EQ(ConfigWord(img, cfg::Threshold), 1001);
}

TEST(DeviceConfigTest, RadioButtonsStoreTheirModes) {
    struct Case {
        bool start;
        int radio;
        const char* edit;
        int modeByte;
        int wordAt;  // -1: none
        int word;
    };
    const Case cases[] = {
        {true, 1, "", 3, -1, 0},  {true, 2, "45", 1, cfg::StartDelay, 45},
        {true, 3, "", 0, -1, 0},  {true, 4, "120", 2, cfg::StartAltitude, 120},
        {false, 1, "", 0, -1, 0}, {false, 2, "30", 1, cfg::FinishTime, 30},
        {false, 3, "", 3, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radio);
        TConfigImage img = filled(0x99);
        const TConfigChange r = c.start
                                    ? StoreStartRadio(img, c.radio, QString::fromLatin1(c.edit))
                                    : StoreFinishRadio(img, c.radio, QString::fromLatin1(c.edit));
        EXPECT_TRUE(r.Stored);
        EXPECT_EQ(img[std::size_t(c.start ? cfg::StartMode : cfg::FinishMode)], c.modeByte);
        if (c.wordAt >= 0) {
            EXPECT_EQ(ConfigWord(img, c.wordAt), c.word);
        }
        // The refresh checks the same button again.
        const TConfigControls ctl = ConfigControls(img);
        EXPECT_EQ(c.start ? ctl.StartRadio : ctl.FinishRadio, c.radio);
    }
    TConfigImage img = filled(0x99);
    const TConfigChange bad = StoreStartRadio(img, 2, QStringLiteral("abc"));
    EXPECT_FALSE(bad.Stored);
    EXPECT_EQ(img[cfg::StartMode], 0x99);
    EXPECT_EQ(bad.Error, QStringLiteral("'abc' is not a valid integer value"));
    img[cfg::StartMode] = 7;  // unknown: no button changes
    EXPECT_EQ(ConfigControls(img).StartRadio, 0);
}

TEST(DeviceConfigTest, ChannelSwitchesAndNumbers) {
    TConfigImage img = filled(0);
    img[cfg::Altitude] = 1;
    img[cfg::RxLength] = 2;  // only 1 means on
    img[cfg::PowerSupply] = 1;
    SetConfigWord(img, cfg::Number1, 65535);
    SetConfigWord(img, cfg::Number3, 258);
    const TConfigControls ctl = ConfigControls(img);
    EXPECT_TRUE(ctl.Altitude);
    EXPECT_FALSE(ctl.RxLength);
    EXPECT_TRUE(ctl.PowerSupply);
    EXPECT_EQ(ctl.NumberTexts[0], QStringLiteral("65535"));
    EXPECT_EQ(ctl.NumberTexts[1], QStringLiteral("0"));
    EXPECT_EQ(ctl.NumberTexts[2], QStringLiteral("258"));
    EXPECT_TRUE(StoreNumber(img, 1, QStringLiteral("70000")).Stored);  // low 16 bits
    EXPECT_EQ(ConfigWord(img, cfg::Number2), 70000 & 0xFFFF);
    EXPECT_FALSE(NumberInRange(QStringLiteral("65536")));
    EXPECT_TRUE(NumberInRange(QStringLiteral("65535")));
    EXPECT_TRUE(NumberInRange(QStringLiteral("x")));  // a non-number counts as 0
}

TEST(DeviceConfigTest, RecordingTimeEstimate) {
    struct Case {
        std::vector<int> channelsOn;  // bytes among 11..17 set to 1
        int interval;                 // units of 10 ms
        int used;
        const char* text;
    };
    const Case cases[] = {
        {{11, 12}, 100, 40000, "34h 43min 20s"},
        {{}, 100, 0, "0 s"},
        {{13, 14, 16, 17}, 1, 539200, "1 s"},  // 0.01 s · 800 / 8
        {{15}, 1, 528000, "60 s"},             // 0.01 · 12000 / 2
        {{15}, 1, 527800, "0h 1min 1s"},       // 61 s
        {{11, 12, 13, 14, 15, 16, 17}, 60000, 0, "6428h 34min 17s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TConfigImage img = filled(0);
        for (int b : c.channelsOn)
            img[std::size_t(b)] = 1;
        SetConfigWord(img, cfg::Interval, c.interval);
        EXPECT_EQ(RecordingTimeText(RecordingSeconds(img, c.used)), QString::fromLatin1(c.text));
    }
    EXPECT_EQ(RecordingTimeText(3725), QStringLiteral("1h 2min 5s"));
}

}  // namespace
