#include "voltaro/reception/ui/CLineSettingsDialog.h"

#include "platform/ui/DialogPrompts.h"
#include "voltaro/reception/SerialLineSettings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QVBoxLayout>

namespace voltaro {
namespace {

const int kBaudRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,
                          14400, 19200, 38400, 57600, 115200, 128000, 256000};

void selectData(QComboBox* box, int value) {
    const int i = box->findData(value);
    if (i >= 0)
        box->setCurrentIndex(i);
}

}  // namespace

CLineSettingsDialog::CLineSettingsDialog(const SerialControlRecord& dcb, const QString& portName,
                                         QWidget* parent)
    : QDialog(parent), m_dcb(dcb) {
    setWindowTitle(QStringLiteral("%1 Properties").arg(portName));
    m_baud = new QComboBox(this);
    m_baud->setEditable(true);
    m_baud->setValidator(new QIntValidator(1, 4000000, m_baud));
    for (int rate : kBaudRates)
        m_baud->addItem(QString::number(rate));
    m_baud->setCurrentText(QString::number(dcb.BaudRate));

    m_dataBits = new QComboBox(this);
    for (int bits = 5; bits <= 8; ++bits)
        m_dataBits->addItem(QString::number(bits), bits);
    selectData(m_dataBits, dcb.ByteSize);

    m_parity = new QComboBox(this);
    m_parity->addItem(QStringLiteral("None"), int(SerialControlRecord::NoParity));
    m_parity->addItem(QStringLiteral("Odd"), int(SerialControlRecord::OddParity));
    m_parity->addItem(QStringLiteral("Even"), int(SerialControlRecord::EvenParity));
    m_parity->addItem(QStringLiteral("Mark"), int(SerialControlRecord::MarkParity));
    m_parity->addItem(QStringLiteral("Space"), int(SerialControlRecord::SpaceParity));
    selectData(m_parity, dcb.ParityMode);

    m_stopBits = new QComboBox(this);
    m_stopBits->addItem(QStringLiteral("1"), int(SerialControlRecord::OneStopBit));
    m_stopBits->addItem(QStringLiteral("1.5"), int(SerialControlRecord::OneHalfStopBits));
    m_stopBits->addItem(QStringLiteral("2"), int(SerialControlRecord::TwoStopBits));
    selectData(m_stopBits, dcb.StopBitsMode);

    m_flow = new QComboBox(this);
    m_flow->addItem(QStringLiteral("Xon / Xoff"), int(platform::PortSettings::Flow::Software));
    m_flow->addItem(QStringLiteral("Hardware"), int(platform::PortSettings::Flow::Hardware));
    m_flow->addItem(QStringLiteral("None"), int(platform::PortSettings::Flow::None));
    selectData(m_flow, int(FlowControlOf(dcb)));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Bits per second:"), m_baud);
    form->addRow(QStringLiteral("&Data bits:"), m_dataBits);
    form->addRow(QStringLiteral("&Parity:"), m_parity);
    form->addRow(QStringLiteral("&Stop bits:"), m_stopBits);
    form->addRow(QStringLiteral("&Flow control:"), m_flow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

SerialControlRecord CLineSettingsDialog::Record() const {
    SerialControlRecord r = m_dcb;
    bool ok = false;
    const uint baud = m_baud->currentText().toUInt(&ok);
    if (ok && baud > 0)
        r.BaudRate = baud;
    r.ByteSize = static_cast<std::uint8_t>(m_dataBits->currentData().toInt());
    r.ParityMode = static_cast<std::uint8_t>(m_parity->currentData().toInt());
    // The parity check follows the parity, as the platform's dialog set it.
    if (r.ParityMode == SerialControlRecord::NoParity)
        r.Flags &= ~SerialControlRecord::kParityCheck;
    else
        r.Flags |= SerialControlRecord::kParityCheck;
    r.StopBitsMode = static_cast<std::uint8_t>(m_stopBits->currentData().toInt());
    SetFlowControl(r, static_cast<platform::PortSettings::Flow>(m_flow->currentData().toInt()));
    return r;
}

bool CLineSettingsDialog::Edit(SerialControlRecord& dcb, const QString& portName,
                               platform::DialogPrompts& prompts, QWidget* parent) {
    CLineSettingsDialog dialog(dcb, portName, parent);
    if (prompts.runModal(dialog) != QDialog::Accepted)
        return false;
    dcb = dialog.Record();
    return true;
}

}  // namespace voltaro
