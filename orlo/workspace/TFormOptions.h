#pragma once
// The Options dialog: default data folder, serial port, default file name.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace platform {
class Prompts;
}

namespace orlo {

class TFormOptions : public QDialog {
    Q_OBJECT
public:
    // ports: the system's serial ports; empty gives COM1 to COM4.
    TFormOptions(const QStringList& ports, platform::Prompts& prompts, QWidget* parent = nullptr);

    // The serial ports the system reports, by name.
    static QStringList SystemPortNames();

    QLabel* LabelRoot() const { return labelRoot_; }
    QComboBox* ComboBoxCOM() const { return comboCom_; }
    QLineEdit* EditDefFileName() const { return editDefFileName_; }
    QToolButton* SpeedButton1() const { return speedButton_; }

    // Selects the port, or nothing when it is not in the list.
    void SelectPort(const QString& port);
    // Opens the folder chooser at the folder of LabelRoot.
    void ChooseFolder();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::Prompts& prompts_;
    QLabel* labelRoot_ = nullptr;
    QComboBox* comboCom_ = nullptr;
    QLineEdit* editDefFileName_ = nullptr;
    QToolButton* speedButton_ = nullptr;
};

// Drops the characters a file name cannot hold: " * / : < > ? \ |
QString WithoutForbiddenNameChars(QString text);

}  // namespace orlo
