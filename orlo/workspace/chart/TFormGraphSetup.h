#pragma once
// The graph setup dialog: fixed or automatic ranges of the five axes and the line
// style and width of the four value axes.
//
// The dialog works on its own copy of the record; the caller copies it in before
// showing the dialog and takes it back after OK.

#include "orlo/chart/TGraphSetup.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace platform {
class Prompts;
}

namespace orlo {

class TFormGraphSetup : public QDialog {
    Q_OBJECT
public:
    explicit TFormGraphSetup(platform::Prompts& prompts, QWidget* parent = nullptr);

    TGraphSetup Record;

    // Record to controls and back.
    void ShowRecord();
    void ReadRecord();
    void DefaultsClick();

    // Called when the dialog is shown, to put it where it was last time.
    std::function<void(QWidget&)> RestoreWindowState;

    // The axis groups in the order voltage, RPM, current, Ah, time.
    struct AxisControls {
        QGroupBox* Group = nullptr;
        QLineEdit* Min = nullptr;
        QLineEdit* Max = nullptr;
        QCheckBox* Auto = nullptr;
        QComboBox* LineStyle = nullptr;  // none for the time axis
        QComboBox* LineWidth = nullptr;
    };
    const std::array<AxisControls, 5>& Axes() const { return axes_; }
    QGroupBox* AnnotationGroup() const { return annotation_; }
    QGroupBox* MarkerGroup() const { return marker_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* DefaultsButton() const { return defaults_; }

    // The check of a number edit when it is left; false after "Incorrect number!".
    bool CheckNumberEdit(QLineEdit& edit);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AxisControls makeAxis(const QString& title, bool withLines, QWidget* parent);
    QGroupBox* makeMarkerGroup(const QString& title);

    platform::Prompts& prompts_;
    std::array<AxisControls, 5> axes_;
    QGroupBox* annotation_ = nullptr;
    QGroupBox* marker_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* defaults_ = nullptr;
    bool checking_ = false;
};

}  // namespace orlo
