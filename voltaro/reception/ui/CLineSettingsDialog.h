#pragma once
// Editor of the serial line settings (baud rate, data bits, parity, stop bits,
// flow control) on a copy of the 28-byte record; "S&etup..." of the options.

#include "voltaro/model/SerialControlRecord.h"

#include <QDialog>

class QComboBox;

namespace platform {
class DialogPrompts;
}

namespace voltaro {

class CLineSettingsDialog : public QDialog {
    Q_OBJECT
public:
    CLineSettingsDialog(const SerialControlRecord& dcb, const QString& portName,
                        QWidget* parent = nullptr);

    // The record with the choices applied; the fields the dialog does not show
    // keep their values.
    SerialControlRecord Record() const;

    // Modal; true and the record replaced when accepted.
    static bool Edit(SerialControlRecord& dcb, const QString& portName,
                     platform::DialogPrompts& prompts, QWidget* parent);

    QComboBox* baudRate() const { return m_baud; }
    QComboBox* dataBits() const { return m_dataBits; }
    QComboBox* parity() const { return m_parity; }
    QComboBox* stopBits() const { return m_stopBits; }
    QComboBox* flowControl() const { return m_flow; }

private:
    SerialControlRecord m_dcb;
    QComboBox* m_baud;
    QComboBox* m_dataBits;
    QComboBox* m_parity;
    QComboBox* m_stopBits;
    QComboBox* m_flow;
};

}  // namespace voltaro
