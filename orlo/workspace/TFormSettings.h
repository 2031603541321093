#pragma once
// The Settings dialog: three whole numbers. Nothing in the program reads them.

#include <QDialog>

class QLineEdit;

namespace platform {
class Prompts;
}

namespace orlo {

class TFormSettings : public QDialog {
    Q_OBJECT
public:
    explicit TFormSettings(platform::Prompts& prompts, QWidget* parent = nullptr);

    QLineEdit* Edit(int index) const { return edits_[index]; }
    // Whether an edit's text is a whole number above -999999.
    static bool ValidNumber(const QString& text);
    // On leaving an edit: "Incorrect number!" and the focus back when invalid.
    bool CheckEdit(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::Prompts& prompts_;
    QLineEdit* edits_[3] = {};
    bool checking_ = false;
};

}  // namespace orlo
