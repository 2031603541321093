#include "orlo/workspace/WinStates.h"

#include "platform/ini/IniFile.h"

#include <QGuiApplication>
#include <QScreen>

namespace orlo {
namespace {

const QString kScreen = QStringLiteral("Screen");

QRect readRect(const platform::IniFile& ini, const QString& section, const QString& prefix,
               const QRect& def) {
    const int left = ini.readInteger(section, prefix + QStringLiteral("Left"), def.left());
    const int right = ini.readInteger(section, prefix + QStringLiteral("Right"), def.right() + 1);
    const int top = ini.readInteger(section, prefix + QStringLiteral("Top"), def.top());
    const int bottom =
        ini.readInteger(section, prefix + QStringLiteral("Bottom"), def.bottom() + 1);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Right and bottom as the first pixel beyond the rectangle.
void writeRect(platform::IniFile& ini, const QString& section, const QString& prefix,
               const QRect& r) {
    ini.writeInteger(section, prefix + QStringLiteral("Left"), r.left());
    ini.writeInteger(section, prefix + QStringLiteral("Right"), r.right() + 1);
    ini.writeInteger(section, prefix + QStringLiteral("Top"), r.top());
    ini.writeInteger(section, prefix + QStringLiteral("Bottom"), r.bottom() + 1);
}

QSize primaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

}  // namespace

TWinStates::TWinStates(QString iniPath, std::function<QSize()> screenSize)
    : iniPath_(std::move(iniPath)),
      screenSize_(screenSize ? std::move(screenSize) : primaryScreenSize) {}

bool TWinStates::IsWindowRegistered(const QWidget* window) const {
    for (const TWinStateEntry& e : registered_)
        if (e.Window && e.Window.data() == window)
            return true;
    return false;
}

void TWinStates::RestoreWindowState(QWidget& form) {
    if (!SaveWindowsPos || IsWindowRegistered(&form))
        return;
    QRect normal = form.geometry();
    QRect actual = normal;
    const QString section = form.objectName();
    const QSize screen = screenSize_();
    int state = 0;
    {
        const platform::IniFile ini(iniPath_);
        screenH_ = ini.readInteger(kScreen, QStringLiteral("ScreenH"), screen.height());
        screenW_ = ini.readInteger(kScreen, QStringLiteral("ScreenW"), screen.width());
        if (screen.height() >= screenH_ && screen.width() >= screenW_) {
            normal = readRect(ini, section, QStringLiteral("NR"), normal);
            actual = readRect(ini, section, QStringLiteral("R"), actual);
        }
        state = ini.readInteger(section, QStringLiteral("State"), 0);
    }
    // Qt keeps one rectangle for a normal window; the normal rectangle is the one a
    // maximised or minimised window returns to.
    form.setGeometry(state == 0 ? actual : normal);
    switch (state) {
        case 0:
            form.setWindowState(form.windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
            break;
        case 1:
            form.setWindowState((form.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
            break;
        case 2:
            form.setWindowState(form.windowState() | Qt::WindowMinimized);
            break;
        default:
            break;
    }
    registered_.push_back({QPointer<QWidget>(&form), section, state});
}

void TWinStates::SaveWindowStates() {
    if (!SaveWindowsPos) {
        registered_.clear();
        return;
    }
    if (registered_.empty())
        return;
    {
        platform::IniFile ini(iniPath_);
        for (const TWinStateEntry& e : registered_) {
            if (!e.Window)
                continue;
            const QWidget& w = *e.Window;
            const Qt::WindowStates s = w.windowState();
            const int state = s.testFlag(Qt::WindowMaximized)   ? 1
                              : s.testFlag(Qt::WindowMinimized) ? 2
                                                                : 0;
            const QRect normal = state == 0 ? w.geometry() : w.normalGeometry();
            ini.writeInteger(kScreen, QStringLiteral("ScreenH"), screenH_);
            ini.writeInteger(kScreen, QStringLiteral("ScreenW"), screenW_);
            writeRect(ini, e.Section, QStringLiteral("NR"), normal);
            writeRect(ini, e.Section, QStringLiteral("R"), w.geometry());
            ini.writeInteger(e.Section, QStringLiteral("State"), state);
        }
        ini.save();
    }
    registered_.clear();
}

}  // namespace orlo
