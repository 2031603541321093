#pragma once
// A main window built offscreen over a temporary folder: its settings file, its data
// root and scripted prompts, which also play the user on its modal dialogs.

#include "orlo/data/TDataBlock.h"
#include "orlo/device/TOrloMemory.h"
#include "orlo/workspace/TFormMain.h"
#include "platform/testing/ScriptedPrompts.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace orlo::test {

// A block of n samples at 0.1 s with voltage and current.
inline TDataBlock MakeBlock(int n, double volts = 12.0) {
    TDataBlock b;
    b.DateText = "11.12.2026 10:15:02";
    b.Interval = 5;
    b.ChannelMask = ChannelVoltage | ChannelCurrent;
    b.CurrentZero = 2048;
    b.CurrentScale = 100;
    b.VoltageScale = 100;
    for (int i = 0; i < n; ++i) {
        b.Time.push_back(i * 0.1);
        b.Voltage.push_back(volts - i * 0.01);
        b.Current.push_back(10.0 + i);
    }
    ComputeBlockStatistics(b, n);
    return b;
}

inline std::string ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

// The Data Reading window as the main window sees it; its "download" is scripted.
class FakeDataReading : public TDataReading {
public:
    QString DefaultFolder() const override { return folder; }
    void SetDefaultFolder(const QString& f) override { folder = f; }
    QString PortName() const override { return port; }
    void SetPortName(const QString& p) override { port = p; }
    QString DefaultFileName() const override { return name; }
    void SetDefaultFileName(const QString& n) override { name = n; }
    QDialog* Dialog() override { return &dialog; }
    TOrloMemory& Memory() override { return memory; }

    QString folder, port, name;
    QDialog dialog;
    TOrloMemory memory;
};

class WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root = dir_.filePath(QStringLiteral("root"));
        ASSERT_TRUE(QDir().mkpath(root));
        iniPath = dir_.filePath(QStringLiteral("orlo.ini"));
    }

    // Builds the window (not shown).
    TFormMain& Make() {
        TMainEnvironment env;
        env.iniPath = iniPath;
        env.rootDir = root;
        env.prompts = &prompts;
        auto reading = std::make_unique<FakeDataReading>();
        reading_ = reading.get();
        env.dataReading = std::move(reading);
        env.ports = ports;
        env.screenSize = [this] { return screen; };
        form = std::make_unique<TFormMain>(std::move(env));
        return *form;
    }

    // Builds and shows the window: the settings are read.
    TFormMain& Show() {
        Make().show();
        return *form;
    }

    // Writes a data file below the root and returns its path.
    QString WriteFile(const QString& name, const TDataBlock& block) {
        const QString path = QDir(root).filePath(name);
        EXPECT_TRUE(WriteDataFile(path, block).Ok);
        return path;
    }

    void WriteIni(const std::string& text) {
        QFile f(iniPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), qint64(text.size()));
    }

    QTemporaryDir dir_;
    QString root;
    QString iniPath;
    QStringList ports{QStringLiteral("COM1"), QStringLiteral("COM3")};
    QSize screen{1280, 1024};
    platform::ScriptedPrompts prompts;
    std::unique_ptr<TFormMain> form;
    FakeDataReading* reading_ = nullptr;
};

}  // namespace orlo::test
