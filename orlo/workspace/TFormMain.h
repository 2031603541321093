#pragma once
// The ORLO reader's main window: the open-block grid on the left, the notes and
// chart pages in the middle, block and cursor values on the right.
//
// The window only assembles its parts and runs the start-up, settings and closing
// steps; each panel is its own class, and the block list with its file commands is
// TBlockGrid.

#include "orlo/chart/TGraphSetup.h"
#include "orlo/workspace/OrloSettings.h"
#include "orlo/workspace/TBlockInfoView.h"
#include "orlo/workspace/TDataReading.h"
#include "orlo/workspace/WinStates.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class QSplitter;
class QTabWidget;

namespace platform {
class DialogPrompts;
}

namespace orlo {

class TBlockGrid;
class TChartPanel;
class TFolderTreePanel;
class TFormAbout;
class TFormAnnot;
class TFormAnnotEdit;
class TFormOptions;
class TFormSettings;
class TInfoPanel;
class TMainCommands;
class TNotesPage;
class TStringGrid;

struct TMainEnvironment {
    QString iniPath;  // the settings file
    QString rootDir;  // the data root before the settings are read
    platform::DialogPrompts* prompts = nullptr;
    // The Data Reading window; none: the program keeps its settings only.
    std::unique_ptr<TDataReading> dataReading;
    // Serial ports for the Options dialog; empty: COM1 to COM4.
    QStringList ports;
    // Size of the present screen (window positions); empty: the primary screen's.
    std::function<QSize()> screenSize;
};

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(TMainEnvironment environment, QWidget* parent = nullptr);
    ~TFormMain() override;

    // Files named on the command line.
    void openFiles(const QStringList& paths);

    // Commands.
    void mnuOpenClick();
    void mnuReadDataClick();
    void mnuOptionsClick();
    void mnuAboutClick();
    // Asks "Are you sure to exit application?" and closes on Yes.
    void AskExit();
    // Closes every row, clears and rebuilds the folder tree of RootDir.
    void ChangeRoot();

    // Parts and state, for the panels that join later and for tests.
    TBlockGrid& Grid() { return *grid_; }
    TStringGrid& StringGrid1() { return *stringGrid_; }
    TChartPanel& Chart() { return *chart_; }
    TNotesPage& Notes() { return *notes_; }
    TInfoPanel& Info() { return *info_; }
    TFolderTreePanel& Tree() { return *tree_; }
    TMainCommands& Commands() { return *commands_; }
    TDataReading& DataReading() { return *dataReading_; }
    TWinStates& WinStates() { return winStates_; }
    QTabWidget* PageControl1() const { return pageControl_; }
    QWidget* PanelLeft() const { return panelLeft_; }
    QWidget* PanelInfo() const;
    TFormOptions& FormOptions() { return *formOptions_; }
    TFormSettings& FormSettings() { return *formSettings_; }
    TFormAbout& FormAbout() { return *formAbout_; }
    TFormAnnot& FormAnnot() { return *formAnnot_; }
    TFormAnnotEdit& FormAnnotEdit() { return *formAnnotEdit_; }
    // Chart toolbar: the annotations of the selected row.
    QAction* TBAnnotDialog = nullptr;
    // File toolbar: shows the data folder tree under the grid (hidden at start).
    QAction* TBShowFolderTree = nullptr;
    const QString& RootDir() const { return options_.RootDir; }
    QString DefDir() const { return dataReading_->DefaultFolder(); }
    TGraphSetup ActiveGraphSetup;
    QString IniPath() const { return iniPath_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    // False when a row could not be closed (its save failed).
    bool FormCloseQuery();
    void FormClose();
    void readSettings();
    void writeSettings();
    void connectCommands();
    void setPanelInfoVisible(bool visible);

    platform::DialogPrompts& prompts_;
    QString iniPath_;
    TOrloOptions options_;
    TWinStates winStates_;
    std::unique_ptr<TDataReading> dataReading_;

    TMainCommands* commands_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QWidget* panelLeft_ = nullptr;
    TStringGrid* stringGrid_ = nullptr;
    TFolderTreePanel* tree_ = nullptr;
    QTabWidget* pageControl_ = nullptr;
    TNotesPage* notes_ = nullptr;
    TChartPanel* chart_ = nullptr;
    TInfoPanel* info_ = nullptr;
    TBlockGrid* grid_ = nullptr;
    std::unique_ptr<TBlockInfoView> infoView_;

    TFormSettings* formSettings_ = nullptr;
    TFormAbout* formAbout_ = nullptr;
    TFormOptions* formOptions_ = nullptr;
    TFormAnnotEdit* formAnnotEdit_ = nullptr;
    TFormAnnot* formAnnot_ = nullptr;
    bool shown_ = false;
    bool closed_ = false;
};

}  // namespace orlo
