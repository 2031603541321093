#include "orlo/workspace/OrloSettings.h"

#include "platform/ini/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orlo {
namespace {

const QString kOptions = QStringLiteral("Options");
const QString kPos = QStringLiteral("Pos");

bool folderExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString withoutTrailingDelimiter(QString path) {
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith('\\')))
        path.chop(1);
    return path;
}

bool programFolderWritable(const QString& programPath) {
    const QFileInfo program(programPath);
    return QFileInfo(program.absolutePath()).isWritable();
}

}  // namespace

void ReadOrloOptions(const platform::IniFile& ini, TOrloOptions& o) {
    const QString root = ini.readString(kOptions, QStringLiteral("Root"), o.RootDir);
    if (folderExists(root))
        o.RootDir = withoutTrailingDelimiter(root);
    o.DefDir = ini.readString(kOptions, QStringLiteral("DefDir"), o.RootDir);
    if (!folderExists(o.DefDir))
        o.DefDir = o.RootDir;
    o.COM = ini.readString(kOptions, QStringLiteral("COM"), o.COM);
    o.DefFileName = ini.readString(kOptions, QStringLiteral("DefFileName"), o.DefFileName);
    o.PanelLeft = ini.readInteger(kPos, QStringLiteral("PanelLeft"), o.PanelLeft);
    o.PanelInfo = ini.readInteger(kPos, QStringLiteral("PanelInfo"), o.PanelInfo);
    o.SaveWindowsPos = ini.readBool(kOptions, QStringLiteral("SaveWindowsPos"), o.SaveWindowsPos);
    o.AutoGridSize = ini.readInteger(kOptions, QStringLiteral("AutoGridSize"), o.AutoGridSize);
    o.ShowTable = ini.readBool(kOptions, QStringLiteral("ShowTable"), o.ShowTable);
    o.ShowLegend = ini.readBool(kOptions, QStringLiteral("TBShowLegend"), o.ShowLegend);
    o.ShowVoltage = ini.readBool(kOptions, QStringLiteral("ShowVoltage"), o.ShowVoltage);
    o.ShowCurrent = ini.readBool(kOptions, QStringLiteral("ShowCurrent"), o.ShowCurrent);
    o.ShowRPM = ini.readBool(kOptions, QStringLiteral("ShowRPM"), o.ShowRPM);
    o.ShowAh = ini.readBool(kOptions, QStringLiteral("ShowAh"), o.ShowAh);
    ReadGraphSetup(ini, o.GraphSetup);
}

void WriteOrloOptions(platform::IniFile& ini, const TOrloOptions& o) {
    ini.writeString(kOptions, QStringLiteral("Root"), o.RootDir);
    ini.writeString(kOptions, QStringLiteral("DefDir"), o.DefDir);
    ini.writeString(kOptions, QStringLiteral("COM"), o.COM);
    ini.writeString(kOptions, QStringLiteral("DefFileName"), o.DefFileName);
    ini.writeInteger(kPos, QStringLiteral("PanelLeft"), o.PanelLeft);
    ini.writeInteger(kPos, QStringLiteral("PanelInfo"), o.PanelInfo);
    ini.writeBool(kOptions, QStringLiteral("SaveWindowsPos"), o.SaveWindowsPos);
    ini.writeInteger(kOptions, QStringLiteral("AutoGridSize"), o.AutoGridSize);
    ini.writeBool(kOptions, QStringLiteral("ShowTable"), o.ShowTable);
    ini.writeBool(kOptions, QStringLiteral("TBShowLegend"), o.ShowLegend);
    ini.writeBool(kOptions, QStringLiteral("ShowVoltage"), o.ShowVoltage);
    ini.writeBool(kOptions, QStringLiteral("ShowCurrent"), o.ShowCurrent);
    ini.writeBool(kOptions, QStringLiteral("ShowRPM"), o.ShowRPM);
    ini.writeBool(kOptions, QStringLiteral("ShowAh"), o.ShowAh);
    if (o.GraphSetup.Modified)
        WriteGraphSetup(ini, o.GraphSetup);
}

TSettingsPlaces SystemSettingsPlaces() {
    TSettingsPlaces p;
    p.programPath = QCoreApplication::applicationFilePath();
    p.iniOverride = qEnvironmentVariable("ORLO_INI");
    p.userConfigDir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    p.documentsDir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return p;
}

QString SettingsFilePath(const TSettingsPlaces& places) {
    if (!places.iniOverride.isEmpty())
        return places.iniOverride;
    const QFileInfo program(places.programPath);
    const QString beside =
        program.absoluteDir().filePath(program.completeBaseName() + QStringLiteral(".ini"));
    const QFileInfo besideInfo(beside);
    if (besideInfo.exists() ? besideInfo.isWritable() : programFolderWritable(places.programPath))
        return beside;
    return QDir(places.userConfigDir)
        .filePath(QStringLiteral("ORLO/") + program.completeBaseName() + QStringLiteral(".ini"));
}

QString DefaultRootDir(const TSettingsPlaces& places) {
    const QString programDir = QFileInfo(places.programPath).absolutePath();
    const bool installed = !programFolderWritable(places.programPath);
    const QString base =
        installed && !places.documentsDir.isEmpty() ? places.documentsDir : programDir;
    const QString data =
        QDir(base).filePath(installed ? QStringLiteral("ORLO") : QStringLiteral("Data"));
    return withoutTrailingDelimiter(QDir::cleanPath(folderExists(data) ? data : base));
}

}  // namespace orlo
