#include "orlo/workspace/MainCommands.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

namespace orlo {
namespace {

QAction* command(QObject* parent, const char* name, const QString& text,
                 const QKeySequence& shortcut = {}) {
    auto* a = new QAction(text, parent);
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

QAction* toggle(QObject* parent, const char* name, const QString& text, const QString& hint) {
    QAction* a = command(parent, name, text);
    a->setCheckable(true);
    a->setToolTip(hint);
    return a;
}

}  // namespace

TMainCommands::TMainCommands(QMainWindow& window) : QObject(&window) {
    QStyle* style = window.style();
    mnuOpen = command(&window, "mnuOpen", QStringLiteral("Open File"),
                      QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuOpen->setToolTip(QStringLiteral("Open File"));
    mnuOpen->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    mnuClose = command(&window, "mnuClose", QStringLiteral("Close File"));
    mnuClose->setToolTip(QStringLiteral("Close Data"));
    mnuClose->setIcon(style->standardIcon(QStyle::SP_DialogCloseButton));
    mnuSave = command(&window, "mnuSave", QStringLiteral("Save File"),
                      QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSave->setToolTip(QStringLiteral("Save"));
    mnuSave->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    mnuSaveAs = command(&window, "mnuSaveAs", QStringLiteral("Save File As"));
    mnuExport = command(&window, "mnuExport", QStringLiteral("Export File"));
    mnuPrintGraph = command(&window, "mnuPrintGraph", QStringLiteral("Print Graph"),
                            QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuOptions = command(&window, "mnuOptions", QStringLiteral("Options"),
                         QKeySequence(Qt::ALT | Qt::Key_N));
    mnuRefresh = command(&window, "mnuRefresh", QStringLiteral("Refresh"),
                         QKeySequence(Qt::ALT | Qt::Key_R));
    mnuExit =
        command(&window, "mnuExit", QStringLiteral("Exit"), QKeySequence(Qt::ALT | Qt::Key_F4));
    mnuReadData = command(&window, "mnuReadData", QStringLiteral("Read data"),
                          QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuReadData->setToolTip(QStringLiteral("Get Data from ORLO"));
    mnuReadData->setIcon(style->standardIcon(QStyle::SP_DriveNetIcon));
    mnuAbout = command(&window, "mnuAbout", QStringLiteral("About"));

    TBShowTree =
        toggle(&window, "TBShowTree", QStringLiteral("Files"), QStringLiteral("Show/Hide files"));
    TBShowTable = toggle(&window, "TBShowTable", QStringLiteral("Table"),
                         QStringLiteral("Show/hide measurement table."));
    TBShowLegend = toggle(&window, "TBShowLegend", QStringLiteral("Legend"),
                          QStringLiteral("Show/hide graph legend."));
    TBShowVoltage =
        toggle(&window, "TBShowVoltage", QStringLiteral("U"), QStringLiteral("Show Voltage"));
    TBShowCurrent =
        toggle(&window, "TBShowCurrent", QStringLiteral("I"), QStringLiteral("Show Current"));
    TBShowRPM =
        toggle(&window, "TBShowRPM", QStringLiteral("R"), QStringLiteral("Show Revolutions"));
    TBShowAh = toggle(&window, "TBShowAh", QStringLiteral("C"), QStringLiteral("Show Capacity"));

    QMenuBar* bar = window.menuBar();
    FileMenu = bar->addMenu(QStringLiteral("File"));
    FileMenu->addActions({mnuOpen, mnuClose, mnuSave, mnuSaveAs, mnuExport});
    FileMenu->addSeparator();
    FileMenu->addAction(mnuPrintGraph);
    FileMenu->addSeparator();
    FileMenu->addAction(mnuOptions);
    FileMenu->addSeparator();
    FileMenu->addAction(mnuExit);
    window.addAction(mnuRefresh);
    bar->addMenu(QStringLiteral("Data"))->addAction(mnuReadData);
    bar->addAction(mnuAbout);

    ToolBar1 = window.addToolBar(QStringLiteral("File"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->addActions({mnuOpen, mnuClose, mnuSave, mnuReadData});
    ToolBar1->addSeparator();
    ToolBar1->addAction(TBShowTree);
    ToolBarGraf = window.addToolBar(QStringLiteral("Graph"));
    ToolBarGraf->setObjectName(QStringLiteral("ToolBarGraf"));
    ToolBarGraf->setMovable(false);
    ToolBarGraf->addActions({TBShowTable, TBShowLegend});
    ToolBarGraf->addSeparator();
    ToolBarGraf->addActions({TBShowVoltage, TBShowCurrent, TBShowRPM, TBShowAh});
}

QAction* TMainCommands::ChannelButton(int quantity) const {
    switch (quantity) {
        case 0:
            return TBShowVoltage;
        case 1:
            return TBShowCurrent;
        case 2:
            return TBShowRPM;
        default:
            return TBShowAh;
    }
}

}  // namespace orlo
