#include "orlo/device/ui/TOrloComForm.h"
#include "orlo/workspace/AssertDlg.h"
#include "orlo/workspace/DataReadingWindow.h"
#include "orlo/workspace/OrloSettings.h"
#include "orlo/workspace/TFormMain.h"
#include "orlo/workspace/TFormOptions.h"
#include "platform/ui/QtPrompts.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORLO"));
    QApplication::setApplicationDisplayName(QStringLiteral("ORLO"));

    const orlo::TSettingsPlaces places = orlo::SystemSettingsPlaces();
    platform::QtPrompts prompts;
    orlo::TMainEnvironment env;
    env.iniPath = orlo::SettingsFilePath(places);
    env.rootDir = orlo::DefaultRootDir(places);
    env.prompts = &prompts;
    env.ports = orlo::TFormOptions::SystemPortNames();
    env.dataReading =
        std::make_unique<orlo::TDataReadingWindow>(std::make_unique<orlo::TOrloComForm>(prompts));

    orlo::TFormMain mainForm(std::move(env));
    prompts.setParentWidget(&mainForm);
    orlo::TFormAssert formAssert;

    mainForm.show();
    // Data files named on the command line open into the grid.
    mainForm.openFiles(QApplication::arguments().mid(1));

    // ORLO_QUIT_AFTER_MS lets scripts and tests start the program and see it end cleanly.
    bool ok = false;
    const int quitAfter = qEnvironmentVariableIntValue("ORLO_QUIT_AFTER_MS", &ok);
    if (ok && quitAfter >= 0)
        QTimer::singleShot(quitAfter, &mainForm, &QWidget::close);
    return QApplication::exec();
}
