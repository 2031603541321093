#pragma once
// The persistent options of the ORLO reader and where its files live.
//
// The settings file is the program's path with ".ini". An installed copy usually
// sits in a folder the user cannot write; then the file lives in the per-user
// configuration folder ("<config>/ORLO/orlo.ini"). ORLO_INI names another file, so
// tests and scripts never touch the user's settings. The data root is the "Data"
// folder beside the program, else the program's folder; for an installed copy it is
// "<documents>/ORLO" when that exists, else the documents folder.

#include "orlo/chart/TGraphSetup.h"

#include <QString>

namespace platform {
class IniFile;
}

namespace orlo {

struct TOrloOptions {
    QString RootDir;  // no trailing delimiter
    QString DefDir;
    QString COM = QStringLiteral("COM1");
    QString DefFileName = QStringLiteral("Blok");
    int PanelLeft = 233;
    int PanelInfo = 164;
    bool SaveWindowsPos = true;
    int AutoGridSize = 10;
    bool ShowTable = true;
    bool ShowLegend = false;
    bool ShowVoltage = true;
    bool ShowCurrent = false;
    bool ShowRPM = false;
    bool ShowAh = false;
    TGraphSetup GraphSetup;
};

// Reads every option in the program's order over the values options holds (its
// defaults). "Root" is taken only when that folder exists; "DefDir" defaults to the
// root and a missing folder there is replaced by the root.
void ReadOrloOptions(const platform::IniFile& ini, TOrloOptions& options);
// Writes every option; the "GraphSetup" keys only when GraphSetup.Modified is set.
void WriteOrloOptions(platform::IniFile& ini, const TOrloOptions& options);

struct TSettingsPlaces {
    QString programPath;    // the running program
    QString iniOverride;    // ORLO_INI; empty: none
    QString userConfigDir;  // per-user configuration folder
    QString documentsDir;   // per-user documents folder
};

// The places of the running program and of this user.
TSettingsPlaces SystemSettingsPlaces();
QString SettingsFilePath(const TSettingsPlaces& places);
QString DefaultRootDir(const TSettingsPlaces& places);

}  // namespace orlo
