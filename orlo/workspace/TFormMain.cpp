#include "orlo/workspace/TFormMain.h"

#include <QFileInfo>
#include <QPlainTextEdit>

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("ORLO"));
    view_ = new QPlainTextEdit(this);
    view_->setReadOnly(true);
    setCentralWidget(view_);
    resize(900, 600);
}

void TFormMain::openFiles(const QStringList& paths) {
    for (const QString& path : paths)
        view_->appendPlainText(QFileInfo(path).fileName());
}
