#pragma once
// The main window's menus, its file and chart toolbars and their shortcuts.
//
// The actions only carry texts, hints, shortcuts and toggle states; the main
// window connects them to its handlers.

#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace orlo {

class TMainCommands : public QObject {
    Q_OBJECT
public:
    explicit TMainCommands(QMainWindow& window);

    QAction* mnuOpen = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuExport = nullptr;
    QAction* mnuPrintGraph = nullptr;
    QAction* mnuOptions = nullptr;
    QAction* mnuRefresh = nullptr;  // no menu entry; the shortcut works
    QAction* mnuExit = nullptr;
    QAction* mnuReadData = nullptr;
    QAction* mnuAbout = nullptr;

    QAction* TBShowTree = nullptr;
    QAction* TBShowTable = nullptr;
    QAction* TBShowLegend = nullptr;
    QAction* TBShowVoltage = nullptr;
    QAction* TBShowCurrent = nullptr;
    QAction* TBShowRPM = nullptr;
    QAction* TBShowAh = nullptr;

    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBarGraf = nullptr;
    QMenu* FileMenu = nullptr;

    // The channel button of a quantity (0 voltage ... 3 capacity).
    QAction* ChannelButton(int quantity) const;
};

}  // namespace orlo
