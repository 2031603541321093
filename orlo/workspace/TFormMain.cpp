#include "orlo/workspace/TFormMain.h"

#include "orlo/device/TOrloMemory.h"
#include "orlo/workspace/FolderTreePanel.h"
#include "orlo/workspace/InfoPanel.h"
#include "orlo/workspace/MainCommands.h"
#include "orlo/workspace/NotesPage.h"
#include "orlo/workspace/TBlockGrid.h"
#include "orlo/workspace/TFormAbout.h"
#include "orlo/workspace/TFormAnnot.h"
#include "orlo/workspace/TFormAnnotEdit.h"
#include "orlo/workspace/TFormOptions.h"
#include "orlo/workspace/TFormSettings.h"
#include "orlo/workspace/TStringGrid.h"
#include "orlo/workspace/chart/TChartPanel.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/DialogPrompts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <exception>

namespace orlo {
namespace {

// The Data Reading window's settings where the program has no logger window.
class TSettingsOnlyDataReading : public TDataReading {
public:
    QString DefaultFolder() const override { return folder_; }
    void SetDefaultFolder(const QString& folder) override { folder_ = folder; }
    QString PortName() const override { return port_; }
    void SetPortName(const QString& port) override { port_ = port; }
    QString DefaultFileName() const override { return name_; }
    void SetDefaultFileName(const QString& name) override { name_ = name; }
    QDialog* Dialog() override { return nullptr; }
    TOrloMemory& Memory() override { return memory_; }

private:
    QString folder_, port_, name_;
    TOrloMemory memory_;
};

// The information fields live on two panels.
class TInfoFields : public TBlockInfoView {
public:
    TInfoFields(TNotesPage& notes, TInfoPanel& info) : notes_(notes), info_(info) {}
    void ShowBlockInfo(const TBlockInfoTexts& texts) override {
        info_.ShowBlockData(texts);
        notes_.ShowFileInfo(texts);
    }
    // The remaining actual block, if any, fills both panels again right after.
    void ClearFileInfo() override {
        notes_.ClearFileInfo();
        info_.Clear();
    }

private:
    TNotesPage& notes_;
    TInfoPanel& info_;
};

}  // namespace

TFormMain::TFormMain(TMainEnvironment env, QWidget* parent)
    : QMainWindow(parent),
      prompts_(*env.prompts),
      iniPath_(env.iniPath),
      winStates_(env.iniPath, env.screenSize),
      dataReading_(env.dataReading ? std::move(env.dataReading)
                                   : std::make_unique<TSettingsOnlyDataReading>()) {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("ORLO"));
    resize(970, 567);
    options_.RootDir = env.rootDir;

    commands_ = new TMainCommands(*this);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);

    panelLeft_ = new QWidget(splitter_);
    panelLeft_->setObjectName(QStringLiteral("PanelLeft"));
    auto* left = new QVBoxLayout(panelLeft_);
    left->setContentsMargins(0, 0, 0, 0);
    stringGrid_ = new TStringGrid(panelLeft_);
    tree_ = new TFolderTreePanel(prompts_, panelLeft_);
    left->addWidget(stringGrid_, 1);
    left->addWidget(tree_, 1);
    left->addStretch(0);

    pageControl_ = new QTabWidget(splitter_);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    notes_ = new TNotesPage(prompts_, pageControl_);
    chart_ = new TChartPanel(ActiveGraphSetup, prompts_, pageControl_);
    pageControl_->addTab(notes_, QStringLiteral("File information"));
    pageControl_->addTab(chart_, QStringLiteral("Graph"));
    pageControl_->setCurrentWidget(chart_);

    info_ = new TInfoPanel(splitter_);
    splitter_->addWidget(panelLeft_);
    splitter_->addWidget(pageControl_);
    splitter_->addWidget(info_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setStretchFactor(2, 0);
    splitter_->setSizes(
        {options_.PanelLeft, 970 - options_.PanelLeft - options_.PanelInfo, options_.PanelInfo});
    setCentralWidget(splitter_);
    statusBar()->setSizeGripEnabled(true);

    infoView_ = std::make_unique<TInfoFields>(*notes_, *info_);
    grid_ = new TBlockGrid(*stringGrid_, prompts_, {*chart_, *notes_, *infoView_, *tree_}, this);
    grid_->ChannelButtonDown = [this](int q) { return commands_->ChannelButton(q)->isChecked(); };
    grid_->DefaultFolder = [this] { return DefDir(); };
    grid_->GridShown = [this](bool shown) { pageControl_->setEnabled(shown); };
    grid_->FileCreated = [this](const QString& path) {
        // A file saved below the data root shows up in the tree. Later, from the event
        // loop: the save may be part of closing rows, which the tree must not disturb.
        const QString root = QDir(options_.RootDir).absolutePath() + QLatin1Char('/');
        if (!options_.RootDir.isEmpty() && QFileInfo(path).absoluteFilePath().startsWith(root))
            QTimer::singleShot(0, tree_, [this] {
                if (QFileInfo(options_.RootDir).isDir())
                    tree_->RefreshTree();
            });
    };
    info_->BlockNameLabel()->clear();
    chart_->LabelPos()->clear();
    chart_->ActualBlock = [this]() -> const TDataBlock* {
        return grid_->Block(grid_->Blocks().ActualRow());
    };
    chart_->ActualBlockShown = [this] {
        const TOpenBlock* actual = grid_->Blocks().Entry(grid_->Blocks().ActualRow());
        return actual && actual->Shown;
    };
    chart_->ChannelButtonDown = grid_->ChannelButtonDown;
    chart_->GridVisible = [this] { return grid_->GridVisible(); };
    chart_->RestoreWindowState = [this](QWidget& w) { winStates_.RestoreWindowState(w); };
    std::array<QLabel*, CursorFieldCount> cursorFields{};
    for (int i = 0; i < CursorFieldCount; ++i)
        cursorFields[static_cast<std::size_t>(i)] = info_->InfoField(11 + i);
    chart_->SetCursorFields(cursorFields);
    commands_->ToolBarGraf->addSeparator();
    commands_->ToolBarGraf->addActions(chart_->ToolActions());

    // The windows of the program, created once and shown when needed.
    formSettings_ = new TFormSettings(prompts_, this);
    formAbout_ = new TFormAbout(this);
    formOptions_ = new TFormOptions(env.ports, prompts_, this);
    formAnnotEdit_ = new TFormAnnotEdit(this);
    formAnnotEdit_->RestoreWindowState = [this](QWidget& w) { winStates_.RestoreWindowState(w); };
    formAnnot_ = new TFormAnnot(*grid_, *formAnnotEdit_, prompts_, this);
    formAnnot_->RestoreWindowState = [this](QWidget& w) { winStates_.RestoreWindowState(w); };
    TBAnnotDialog = new QAction(QStringLiteral("Annotations"), this);
    TBAnnotDialog->setObjectName(QStringLiteral("TBAnnotDialog"));
    TBAnnotDialog->setToolTip(QStringLiteral("Shows an Annotation dialog."));
    commands_->ToolBarGraf->addSeparator();
    commands_->ToolBarGraf->addAction(TBAnnotDialog);
    connect(TBAnnotDialog, &QAction::triggered, this,
            [this] { formAnnot_->ShowForRow(grid_->GridVisible() ? stringGrid_->Row() : -1); });

    tree_->OpenBlocks = [this](const QString& path) { return grid_->OpenBlocks(path, 0); };
    tree_->CloseGridRow = [this](int row) { grid_->CloseGridRow(row); };
    tree_->RenameGridRow = [this](int row, const QString& path) {
        grid_->RenameGridRow(row, path);
    };
    tree_->GridRowCount = [this] { return grid_->GridVisible() ? stringGrid_->RowCount() : 0; };
    tree_->RootDirChanged = [this](const QString& root) { options_.RootDir = root; };
    TBShowFolderTree = new QAction(QStringLiteral("Folders"), this);
    TBShowFolderTree->setObjectName(QStringLiteral("TBShowFolderTree"));
    TBShowFolderTree->setToolTip(QStringLiteral("Show/hide the data folder tree"));
    TBShowFolderTree->setCheckable(true);
    commands_->ToolBar1->addAction(TBShowFolderTree);
    connect(TBShowFolderTree, &QAction::toggled, tree_, &QWidget::setVisible);

    connectCommands();
    qApp->installEventFilter(this);
}

TFormMain::~TFormMain() {
    qApp->removeEventFilter(this);
    tree_->ClearTreeView();
    grid_->GridCloseAll();
}

QWidget* TFormMain::PanelInfo() const {
    return info_;
}

void TFormMain::connectCommands() {
    TMainCommands& c = *commands_;
    connect(c.mnuOpen, &QAction::triggered, this, &TFormMain::mnuOpenClick);
    connect(c.mnuClose, &QAction::triggered, grid_, &TBlockGrid::CloseSelected);
    connect(c.mnuSave, &QAction::triggered, grid_, &TBlockGrid::SaveSelected);
    connect(c.mnuSaveAs, &QAction::triggered, grid_, &TBlockGrid::SaveSelectedAs);
    connect(c.mnuExport, &QAction::triggered, grid_, &TBlockGrid::ExportSelected);
    connect(c.mnuOptions, &QAction::triggered, this, &TFormMain::mnuOptionsClick);
    connect(c.mnuRefresh, &QAction::triggered, this, [this] { tree_->RefreshTree(); });
    connect(c.mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(c.mnuReadData, &QAction::triggered, this, &TFormMain::mnuReadDataClick);
    connect(c.mnuAbout, &QAction::triggered, this, &TFormMain::mnuAboutClick);
    connect(c.mnuPrintGraph, &QAction::triggered, chart_, &TChartPanel::TBPrintGraphClick);
    c.mnuReadData->setEnabled(dataReading_->Dialog() != nullptr);

    connect(c.TBShowTree, &QAction::toggled, panelLeft_, &QWidget::setVisible);
    c.TBShowTree->setChecked(true);
    connect(c.TBShowTable, &QAction::toggled, this, &TFormMain::setPanelInfoVisible);
    connect(c.TBShowLegend, &QAction::toggled, this,
            [this](bool on) { chart_->SetLegendVisible(on); });
    for (int q = QuantityVoltage; q <= QuantityAh; ++q)
        connect(c.ChannelButton(q), &QAction::toggled, this,
                [this, q](bool on) { grid_->GraphSeriesCheck(q, on); });
}

void TFormMain::setPanelInfoVisible(bool visible) {
    info_->setVisible(visible);
}

void TFormMain::openFiles(const QStringList& paths) {
    for (const QString& path : paths)
        grid_->OpenBlocks(QFileInfo(path).absoluteFilePath(), 0);
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFormMain::FormShow() {
    ActiveGraphSetup = GraphSetupDefaults();
    ActiveGraphSetup.Modified = false;
    winStates_.SaveWindowsPos = true;
    readSettings();
    winStates_.RestoreWindowState(*this);
    if (grid_->AutoGridSize > 7)
        grid_->AutoGridSize =
            stringGrid_->fontMetrics().horizontalAdvance(QStringLiteral("ABCDEFGH"));
    grid_->SizeNameColumn();
    pageControl_->setEnabled(grid_->GridVisible());
    tree_->BuildTree(options_.RootDir);
    chart_->ApplyGraphSetup();
}

void TFormMain::readSettings() {
    {
        const platform::IniFile ini(iniPath_);
        options_.GraphSetup = ActiveGraphSetup;
        ReadOrloOptions(ini, options_);
    }
    ActiveGraphSetup = options_.GraphSetup;
    dataReading_->SetDefaultFolder(options_.DefDir);
    dataReading_->SetPortName(options_.COM);
    dataReading_->SetDefaultFileName(options_.DefFileName);
    const int middle = std::max(width() - options_.PanelLeft - options_.PanelInfo, 100);
    splitter_->setSizes({options_.PanelLeft, middle, options_.PanelInfo});
    winStates_.SaveWindowsPos = options_.SaveWindowsPos;
    grid_->AutoGridSize = options_.AutoGridSize;
    // Each toggle takes its state and its action runs at once.
    const std::pair<QAction*, bool> toggles[] = {
        {commands_->TBShowTable, options_.ShowTable},
        {commands_->TBShowLegend, options_.ShowLegend},
        {commands_->TBShowVoltage, options_.ShowVoltage},
        {commands_->TBShowCurrent, options_.ShowCurrent},
        {commands_->TBShowRPM, options_.ShowRPM},
        {commands_->TBShowAh, options_.ShowAh},
    };
    for (const auto& [action, on] : toggles) {
        const QSignalBlocker block(action);
        action->setChecked(on);
    }
    setPanelInfoVisible(options_.ShowTable);
    chart_->SetLegendVisible(options_.ShowLegend);
    for (int q = QuantityVoltage; q <= QuantityAh; ++q)
        grid_->GraphSeriesCheck(q, commands_->ChannelButton(q)->isChecked());
}

void TFormMain::writeSettings() {
    options_.DefDir = dataReading_->DefaultFolder();
    options_.COM = dataReading_->PortName();
    options_.DefFileName = dataReading_->DefaultFileName();
    if (panelLeft_->isVisible())
        options_.PanelLeft = panelLeft_->width();
    if (info_->isVisible())
        options_.PanelInfo = info_->width();
    options_.SaveWindowsPos = winStates_.SaveWindowsPos;
    options_.AutoGridSize = grid_->AutoGridSize;
    options_.ShowTable = commands_->TBShowTable->isChecked();
    options_.ShowLegend = commands_->TBShowLegend->isChecked();
    options_.ShowVoltage = commands_->TBShowVoltage->isChecked();
    options_.ShowCurrent = commands_->TBShowCurrent->isChecked();
    options_.ShowRPM = commands_->TBShowRPM->isChecked();
    options_.ShowAh = commands_->TBShowAh->isChecked();
    options_.GraphSetup = ActiveGraphSetup;
    // The per-user settings folder may not exist yet.
    QDir().mkpath(QFileInfo(iniPath_).absolutePath());
    platform::IniFile ini(iniPath_);
    WriteOrloOptions(ini, options_);
    ini.save();
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    closed_ = true;
    event->accept();
}

bool TFormMain::FormCloseQuery() {
    QString lastError;
    if (grid_->GridVisible()) {
        for (int row = stringGrid_->RowCount() - 1; row >= 0; --row) {
            try {
                grid_->CloseGridRow(row);
            } catch (const std::exception& e) {
                lastError = QString::fromLocal8Bit(e.what());
            }
        }
    }
    if (!lastError.isEmpty())
        prompts_.error(QStringLiteral("Error by Closing files on CloseQuery!\r\n") + lastError);
    // A block whose save failed keeps its row; closing now would lose it.
    return grid_->Blocks().Empty();
}

void TFormMain::FormClose() {
    writeSettings();
    winStates_.SaveWindowStates();
}

void TFormMain::AskExit() {
    if (prompts_.askYesNo(QStringLiteral("Are you sure to exit application?")) ==
        platform::Button::Yes)
        close();
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this) {
        // Escape in the tree's in-place editor only ends the editing.
        const bool renaming = tree_->IsEditing() && tree_->isAncestorOf(widget);
        if (event->type() == QEvent::KeyPress && !renaming &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            AskExit();
            return true;
        }
        // Arrow keys scroll a zoomed chart whichever control has the focus; the
        // control still gets the key.
        // A key travels up the parents; act once, where it starts, and leave the
        // chart's own keys to the chart.
        const bool keyStartsHere = widget == QApplication::focusWidget() ||
                                   (!QApplication::focusWidget() && widget == this);
        if (event->type() == QEvent::KeyPress && keyStartsHere && widget != chart_ &&
            !chart_->isAncestorOf(widget)) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up ||
                key == Qt::Key_Down)
                chart_->ArrowKey(key);
        }
        // The wheel anywhere over the window gives the grid the focus.
        if (event->type() == QEvent::Wheel && grid_->GridVisible())
            stringGrid_->setFocus(Qt::OtherFocusReason);
    }
    if (event->type() == QEvent::Show && watched == formOptions_)
        winStates_.RestoreWindowState(*formOptions_);
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::mnuOpenClick() {
    platform::FileDialogRequest request;
    request.directory = DefDir();
    request.filter = platform::qtFilterFromPairs(QStringLiteral("*.orl (ORLO Data File)|*.orl"));
    request.defaultSuffix = QStringLiteral("orl");
    const std::optional<QStringList> files = prompts_.openFileNames(request);
    if (!files)
        return;
    for (const QString& file : *files)
        grid_->OpenBlocks(file, 0);
}

void TFormMain::mnuReadDataClick() {
    QDialog* window = dataReading_->Dialog();
    if (!window)
        return;
    prompts_.runModal(*window);
    TOrloMemory& memory = dataReading_->Memory();
    grid_->OpenBlocks(QString(), memory.BlockCount(), &memory);
    memory.FreeBlocks();
}

void TFormMain::mnuOptionsClick() {
    TFormOptions& dialog = *formOptions_;
    for (;;) {
        dialog.LabelRoot()->setText(DefDir());
        dialog.SelectPort(dataReading_->PortName());
        dialog.EditDefFileName()->setText(dataReading_->DefaultFileName());
        if (prompts_.runModal(dialog) != QDialog::Accepted)
            return;
        const QString folder = dialog.LabelRoot()->text();
        if (!QFileInfo(folder).isDir()) {
            prompts_.error(QStringLiteral("Invalid directory!"));
            continue;
        }
        dataReading_->SetDefaultFolder(folder);
        dataReading_->SetPortName(dialog.ComboBoxCOM()->currentText());
        dataReading_->SetDefaultFileName(dialog.EditDefFileName()->text());
        if (folder != options_.RootDir) {
            options_.RootDir = folder;
            ChangeRoot();
        }
        return;
    }
}

void TFormMain::ChangeRoot() {
    if (grid_->GridVisible())
        for (int row = stringGrid_->RowCount() - 1; row >= 0; --row)
            grid_->CloseGridRow(row);
    tree_->ClearTreeView();
    tree_->BuildTree(options_.RootDir);
    QCoreApplication::processEvents();
}

void TFormMain::mnuAboutClick() {
    prompts_.runModal(*formAbout_);
}

}  // namespace orlo
