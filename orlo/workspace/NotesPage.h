#pragma once
// The "File information" page: the actual block's header values and the editor of
// its notes, which the block keeps as rich text.

#include "orlo/workspace/WorkspaceSeams.h"

#include <QWidget>

class QLineEdit;
class QTextEdit;

namespace orlo {

class TNotesPage : public QWidget, public TNotesEditor {
    Q_OBJECT
public:
    explicit TNotesPage(QWidget* parent = nullptr);

    bool IsModified() const override;
    void SetModified(bool modified) override;
    std::string SaveNotes() const override;
    void LoadNotes(const std::string& notes) override;
    void ClearNotes() override;

    void ShowFileInfo(const TBlockInfoTexts& texts);
    void ClearFileInfo();

    QTextEdit* RichEdit1() const { return richEdit_; }
    QLineEdit* EditDate() const { return editDate_; }
    QLineEdit* EditSample() const { return editSample_; }
    QLineEdit* EditVer() const { return editVer_; }
    QLineEdit* EditFlyTime() const { return editFlyTime_; }
    QLineEdit* EditMaxAlt() const { return editMaxAlt_; }

private:
    QTextEdit* richEdit_ = nullptr;
    QLineEdit* editDate_ = nullptr;
    QLineEdit* editSample_ = nullptr;
    QLineEdit* editVer_ = nullptr;
    QLineEdit* editFlyTime_ = nullptr;
    QLineEdit* editMaxAlt_ = nullptr;
};

}  // namespace orlo
