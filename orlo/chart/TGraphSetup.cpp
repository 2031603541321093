#include "orlo/chart/TGraphSetup.h"

#include "platform/ini/IniFile.h"

#include <QString>

namespace orlo {
namespace {

const QString kSection = QStringLiteral("GraphSetup");

struct AxisKeys {
    const char* min;
    const char* max;
    const char* autoKey;
    double TGraphSetup::*minField;
    double TGraphSetup::*maxField;
    bool TGraphSetup::*autoField;
};

// In the order the keys are written.
constexpr AxisKeys kAxes[] = {
    {"VoltageMin", "VoltageMax", "VoltageAuto", &TGraphSetup::VoltageMin, &TGraphSetup::VoltageMax,
     &TGraphSetup::VoltageAuto},
    {"RPMMin", "RPMMax", "RPMAuto", &TGraphSetup::RPMMin, &TGraphSetup::RPMMax,
     &TGraphSetup::RPMAuto},
    {"CurrentMin", "CurrentMax", "CurrentAuto", &TGraphSetup::CurrentMin, &TGraphSetup::CurrentMax,
     &TGraphSetup::CurrentAuto},
    {"TimeMin", "TimeMax", "TimeAuto", &TGraphSetup::TimeMin, &TGraphSetup::TimeMax,
     &TGraphSetup::TimeAuto},
};

}  // namespace

TGraphSetup GraphSetupDefaults() {
    return TGraphSetup{};
}

void ReadGraphSetup(const platform::IniFile& ini, TGraphSetup& setup) {
    for (const AxisKeys& a : kAxes) {
        setup.*a.autoField =
            ini.readBool(kSection, QString::fromLatin1(a.autoKey), setup.*a.autoField);
        setup.*a.minField = ini.readFloat(kSection, QString::fromLatin1(a.min), setup.*a.minField);
        setup.*a.maxField = ini.readFloat(kSection, QString::fromLatin1(a.max), setup.*a.maxField);
    }
}

void WriteGraphSetup(platform::IniFile& ini, const TGraphSetup& setup) {
    for (const AxisKeys& a : kAxes) {
        ini.writeFloat(kSection, QString::fromLatin1(a.min), setup.*a.minField);
        ini.writeFloat(kSection, QString::fromLatin1(a.max), setup.*a.maxField);
        ini.writeBool(kSection, QString::fromLatin1(a.autoKey), setup.*a.autoField);
    }
}

}  // namespace orlo
