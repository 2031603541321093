#include "orlo/workspace/TFormMain.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORLO"));
    QApplication::setApplicationDisplayName(QStringLiteral("ORLO"));

    TFormMain mainForm;
    mainForm.show();
    mainForm.openFiles(QApplication::arguments().mid(1));

    // ORLO_QUIT_AFTER_MS lets scripts and tests start the program and see it end cleanly.
    bool ok = false;
    const int quitAfter = qEnvironmentVariableIntValue("ORLO_QUIT_AFTER_MS", &ok);
    if (ok && quitAfter >= 0)
        QTimer::singleShot(quitAfter, &mainForm, &QWidget::close);
    return QApplication::exec();
}
