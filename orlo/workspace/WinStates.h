#pragma once
// Positions and states of the program's windows, kept in the settings file.
//
// A window is restored (and registered) when it is first shown; at exit every
// registered window that still exists is written back. Each window has a section
// named after its object name. Positions recorded on a larger screen than the
// present one are not applied; the state is.

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace orlo {

struct TWinStateEntry {
    QPointer<QWidget> Window;
    QString Section;  // the window's object name
    int State = 0;    // 0 normal, 1 maximised, 2 minimised, as restored
};

class TWinStates {
public:
    // The settings file and the size of the present screen.
    TWinStates(QString iniPath, std::function<QSize()> screenSize = {});

    bool SaveWindowsPos = true;

    void RestoreWindowState(QWidget& form);
    void SaveWindowStates();
    bool IsWindowRegistered(const QWidget* window) const;

    const std::vector<TWinStateEntry>& RegisteredWindows() const { return registered_; }
    int ScreenH() const { return screenH_; }
    int ScreenW() const { return screenW_; }

private:
    QString iniPath_;
    std::function<QSize()> screenSize_;
    std::vector<TWinStateEntry> registered_;
    int screenH_ = 0;
    int screenW_ = 0;
};

}  // namespace orlo
