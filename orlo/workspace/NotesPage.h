#pragma once
// The "File information" page: the actual block's header values and the editor of
// its notes, which the block keeps as rich text, with a formatting toolbar and a
// pop-up menu.
//
// While the toolbar is being brought in line with the editor's selection the guard
// is set and the toolbar's own handlers do nothing, so showing a state never
// re-applies it to the text.

#include "orlo/workspace/TBlockInfoView.h"
#include "orlo/workspace/TNotesEditor.h"

#include <QWidget>

class QAction;
class QActionGroup;
class QComboBox;
class QLineEdit;
class QMenu;
class QTextCharFormat;
class QTextDocument;
class QTextEdit;
class QToolBar;

namespace platform {
class DialogPrompts;
}

namespace orlo {

class TNotesPage : public QWidget, public TNotesEditor {
    Q_OBJECT
public:
    explicit TNotesPage(platform::DialogPrompts& prompts, QWidget* parent = nullptr);
    ~TNotesPage() override;

    // ---- TNotesEditor ----------------------------------------------------------------
    bool IsModified() const override;
    void SetModified(bool modified) override;
    std::string SaveNotes() const override;
    void LoadNotes(const std::string& notes) override;
    void ClearNotes() override;

    void ShowFileInfo(const TBlockInfoTexts& texts);
    void ClearFileInfo();

    // ---- handlers ------------------------------------------------------------------------
    // Brings the toolbar in line with the selection (selection change, font dialog,
    // alignment commands).
    void RichEdit1SelectionChange();
    // Undo and paste follow what the editor can do; called whenever that may change.
    void AppIdle();
    void TBBoldClick();
    void TBItalicClick();
    void TBUnderlineClick();
    void ComboFontNameChange();
    void ComboFontSizeChange();
    // 0 left, 1 right, 2 centre.
    void AlignClick(int tag);
    // The font dialog preset with the selection's font; OK applies the font and the
    // colour the selection had.
    void TBFontClick();
    void TBCutClick();
    void TBCopyClick();
    void TBPasteClick();
    void TBUndoClick();
    // The printer dialog, then a copy of the notes on the printer; a failing printer
    // is reported.
    void TBPrintClick();
    void PopupRichPopup();

    // ---- parts ----------------------------------------------------------------------------
    QTextEdit* RichEdit1() const { return richEdit_; }
    QLineEdit* EditDate() const { return editDate_; }
    QLineEdit* EditSample() const { return editSample_; }
    QLineEdit* EditVer() const { return editVer_; }
    QLineEdit* EditFlyTime() const { return editFlyTime_; }
    QLineEdit* EditMaxAlt() const { return editMaxAlt_; }
    QToolBar* ToolBarLetInfo() const { return toolBar_; }
    QComboBox* ComboFontName() const { return comboFontName_; }
    QComboBox* ComboFontSize() const { return comboFontSize_; }
    QMenu* PopupRich() const { return popup_; }
    bool ToolbarGuard() const { return guard_; }

    QAction* TBPrint = nullptr;
    QAction* TBCut = nullptr;
    QAction* TBCopy = nullptr;
    QAction* TBPaste = nullptr;
    QAction* TBUndo = nullptr;
    QAction* TBBold = nullptr;
    QAction* TBItalic = nullptr;
    QAction* TBUnderline = nullptr;
    QAction* TBFont = nullptr;
    QAction* TBLeft = nullptr;
    QAction* TBCenter = nullptr;
    QAction* TBRight = nullptr;

    // Pop-up entries by their texts.
    QAction* mnuPrint = nullptr;        // "Tisk"
    QAction* mnuCut = nullptr;          // "Vyjmout"
    QAction* mnuCopy = nullptr;         // "Kopírovat"
    QAction* mnuPaste = nullptr;        // "Vložit"
    QAction* mnuUndo = nullptr;         // "Zpet"
    QAction* mnuFont = nullptr;         // "Font"
    QAction* mnuAlignLeft = nullptr;    // "Doleva", tag 0
    QAction* mnuAlignCenter = nullptr;  // "Na stred", tag 2
    QAction* mnuAlignRight = nullptr;   // "Doprava", tag 1
    QAction* mnuCancel = nullptr;       // "Storno"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolBar();
    void buildPopup();
    // Adds (on) or removes (off) formatting on the selection or the insertion point.
    void applyFormat(const QTextCharFormat& format);
    void setStyle(QAction* button, bool on);
    void toggleStyle(QAction* button);
    void clearStyles();
    bool canPaste() const;

    platform::DialogPrompts& prompts_;
    QTextEdit* richEdit_ = nullptr;
    QLineEdit* editDate_ = nullptr;
    QLineEdit* editSample_ = nullptr;
    QLineEdit* editVer_ = nullptr;
    QLineEdit* editFlyTime_ = nullptr;
    QLineEdit* editMaxAlt_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QComboBox* comboFontName_ = nullptr;
    QComboBox* comboFontSize_ = nullptr;
    QActionGroup* alignGroup_ = nullptr;
    QActionGroup* popupAlignGroup_ = nullptr;
    QMenu* popup_ = nullptr;
    bool guard_ = false;
};

}  // namespace orlo
