#pragma once
// The ORLO reader's main window.

#include <QMainWindow>
#include <QStringList>

class QPlainTextEdit;

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);

    // Files named on the command line, opened once the window is up.
    void openFiles(const QStringList& paths);

private:
    QPlainTextEdit* view_ = nullptr;
};
