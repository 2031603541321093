#pragma once
// "Edit Annotation": the time, value and text of one annotation.
//
// The two number fields take only digits, "-" and the decimal separator (editing
// keys keep working); Enter moves on from field to field and finally to "Ok". An
// empty text becomes a single blank when the dialog closes.

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

namespace orlo {

class TFormAnnotEdit : public QDialog {
    Q_OBJECT
public:
    explicit TFormAnnotEdit(QWidget* parent = nullptr);

    QLineEdit* EditTime() const { return editTime_; }
    QLineEdit* EditAlt() const { return editAlt_; }
    QLineEdit* EditText() const { return editText_; }
    QPushButton* ButtonOk() const { return ok_; }
    QPushButton* ButtonCancel() const { return cancel_; }

    // A field's number in the user's notation; 0 when it does not convert.
    static double FieldValue(const QLineEdit* field);

    void done(int result) override;

    // Where the dialog was last time.
    std::function<void(QWidget&)> RestoreWindowState;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* editTime_ = nullptr;
    QLineEdit* editAlt_ = nullptr;
    QLineEdit* editText_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace orlo
