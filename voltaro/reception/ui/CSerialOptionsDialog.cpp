#include "voltaro/reception/ui/CSerialOptionsDialog.h"

#include "platform/core/TextCodec.h"
#include "platform/serial/PolledPort.h"
#include "platform/ui/DialogPrompts.h"
#include "voltaro/reception/SerialLineSettings.h"
#include "voltaro/reception/ui/CLineSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace voltaro {

CSerialOptionsDialog::CSerialOptionsDialog(const SerialOptions& options,
                                           const QStringList& portNames,
                                           platform::DialogPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_options(options), m_bNamedPorts(!portNames.isEmpty()), m_prompts(prompts) {
    setWindowTitle(QStringLiteral("Options"));

    m_port = new QComboBox(this);
    if (m_bNamedPorts) {
        QStringList names = portNames;
        // A device chosen earlier stays on offer even while it is unplugged.
        const QString chosen = platform::toQt(options.strPortName);
        if (!chosen.isEmpty() && !names.contains(chosen))
            names.append(chosen);
        m_port->addItems(names);
        m_port->setCurrentIndex(chosen.isEmpty()
                                    ? std::clamp(options.nPortIndex, 0, int(names.size()) - 1)
                                    : int(names.indexOf(chosen)));
    } else {
        for (int n = 1; n <= kWindowsPortCount; ++n)
            m_port->addItem(QStringLiteral("COM%1").arg(n));
        m_port->setCurrentIndex(std::clamp(options.nPortIndex, 0, kWindowsPortCount - 1));
    }
    m_setup = new QPushButton(QStringLiteral("S&etup..."), this);
    m_snooping =
        new QCheckBox(QStringLiteral("&Serial Port Snooping (Auto-create Online Sessions)"), this);
    m_snooping->setChecked(options.bSnooping);
    m_saveDefault = new QCheckBox(QStringLiteral("Sa&ve as Default"), this);
    m_saveDefault->setChecked(true);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_port, 1);
    portRow->addWidget(m_setup);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Port:"), portRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_setup, &QPushButton::clicked, this, &CSerialOptionsDialog::OnSetup);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_snooping);
    layout->addWidget(m_saveDefault);
    layout->addWidget(buttons);
}

SerialOptions CSerialOptionsDialog::Options() const {
    SerialOptions o = m_options;
    o.nPortIndex = std::max(0, m_port->currentIndex());
    o.strPortName = m_bNamedPorts ? platform::fromQt(m_port->currentText()) : std::string();
    o.bSnooping = m_snooping->isChecked();
    o.bSaveAsDefault = m_saveDefault->isChecked();
    return o;
}

void CSerialOptionsDialog::OnSetup() {
    const SerialOptions o = Options();
    SerialControlRecord dcb = m_options.dcb;
    if (CLineSettingsDialog::Edit(dcb, SerialPortName(o.nPortIndex, o.strPortName), m_prompts,
                                  this))
        m_options.dcb = dcb;
}

QStringList CSerialOptionsDialog::SystemPortNames() {
#ifdef Q_OS_WIN
    return {};
#else
    return platform::AvailableSerialPortNames();
#endif
}

bool CSerialOptionsDialog::Edit(SerialOptions& options, platform::DialogPrompts& prompts,
                                QWidget* parent) {
    CSerialOptionsDialog dialog(options, SystemPortNames(), prompts, parent);
    if (prompts.runModal(dialog) != QDialog::Accepted)
        return false;
    options = dialog.Options();
    return true;
}

}  // namespace voltaro
