#pragma once
// "Options": the serial port, its line settings ("S&etup..."), snooping and
// "Sa&ve as Default", on a copy of the options that OK hands back.

#include "voltaro/reception/DocumentReceiver.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace voltaro {

class CSerialOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Edits the line settings for the named port; true when accepted.
    using LineSettingsEditor =
        std::function<bool(SerialControlRecord& dcb, const QString& portName, QWidget* parent)>;

    // portNames: the devices to offer where ports have names; empty: COM1..COM14.
    CSerialOptionsDialog(const SerialOptions& options, const QStringList& portNames,
                         QWidget* parent = nullptr);

    // The options as the dialog shows them now.
    SerialOptions Options() const;

    void setLineSettingsEditor(LineSettingsEditor editor) { m_editor = std::move(editor); }

    // Modal on the options; true and the options replaced on OK.
    static bool Edit(SerialOptions& options, QWidget* parent);
    // The port names offered on this system.
    static QStringList SystemPortNames();

    QComboBox* portCombo() const { return m_port; }
    QPushButton* setupButton() const { return m_setup; }
    QCheckBox* snoopingCheck() const { return m_snooping; }
    QCheckBox* saveDefaultCheck() const { return m_saveDefault; }

private:
    void OnSetup();

    SerialOptions m_options;
    bool m_bNamedPorts;
    LineSettingsEditor m_editor;
    QComboBox* m_port;
    QPushButton* m_setup;
    QCheckBox* m_snooping;
    QCheckBox* m_saveDefault;
};

}  // namespace voltaro
