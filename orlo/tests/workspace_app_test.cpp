// The orlo program as scripts start it: data files on the command line, a settings
// file of the script's own, and an end after a given time.
#include "platform/ini/IniFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(OrloProgram, OpensTheExamplesAndEndsWithItsSettingsWritten) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath("script.ini");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORLO_INI", ini);
    env.insert("ORLO_QUIT_AFTER_MS", "200");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    const QDir examples(ORLO_EXAMPLES_DIR);
    QStringList args;
    for (const QString& name : examples.entryList({"*.orl"}, QDir::Files, QDir::Name))
        args << examples.filePath(name);
    ASSERT_FALSE(args.isEmpty());
    program.start(ORLO_APP_PATH, args);
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_TRUE(program.waitForFinished(60000)) << "the program did not end by itself";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    // The examples were unchanged, so closing asked nothing and wrote the settings.
    const platform::IniFile settings(ini);
    EXPECT_EQ(settings.readString("Options", "COM", {}), "COM1");
    EXPECT_TRUE(settings.hasKey("FormMain", "RLeft"));
}

}  // namespace
