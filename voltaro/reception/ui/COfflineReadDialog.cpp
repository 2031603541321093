#include "voltaro/reception/ui/COfflineReadDialog.h"

#include "platform/serial/PolledPort.h"
#include "platform/ui/DialogPrompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace voltaro {

COfflineReadDialog::COfflineReadDialog(CDataModule& session, platform::PolledPort& port,
                                       const ParserList& parsers, platform::Prompts& prompts,
                                       QWidget* owner, platform::Clock clock)
    : QDialog(owner),
      m_reading(session, parsers, std::move(clock)),
      m_port(port),
      m_prompts(prompts),
      m_owner(owner) {
    setWindowTitle(QStringLiteral("Read Offline Data"));
    m_status = new QLabel(QString::fromLatin1(kWaitingText), this);
    m_status->setMinimumWidth(280);
    m_request = new QPushButton(QStringLiteral("&Request Data"), this);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_ok->setEnabled(false);
    m_request->setAutoDefault(false);
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_request);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addLayout(buttons);

    connect(m_request, &QPushButton::clicked, this, &COfflineReadDialog::OnRequest);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &COfflineReadDialog::reject);
    connect(&m_timer, &QTimer::timeout, this, &COfflineReadDialog::Pump);

    // The main window waits while the port is read.
    if (m_owner)
        m_owner->setEnabled(false);
    setEnabled(true);
    m_request->setFocus();
    m_timer.start(kPumpIntervalMs);
}

COfflineReadDialog::~COfflineReadDialog() {
    if (m_owner)
        m_owner->setEnabled(true);
}

bool COfflineReadDialog::Run(CDataModule& session, platform::PolledPort& port,
                             const ParserList& parsers, platform::DialogPrompts& prompts,
                             QWidget* owner) {
    COfflineReadDialog dialog(session, port, parsers, prompts, owner);
    return prompts.runModal(dialog) == QDialog::Accepted;
}

void COfflineReadDialog::OnRequest() {
    if (!m_bFinished)
        m_reading.Request();
}

void COfflineReadDialog::Pump() {
    if (m_bFinished)
        return;
    const bool hadData = m_reading.AnyData();
    const PumpResult r = PumpPort(m_reading, m_port);
    if (r.requestFailed)
        m_prompts.error(QString::fromLatin1(kRequestFailedText));
    if (m_reading.AnyData() && !hadData) {
        m_request->setEnabled(false);
        m_cancel->setFocus();
    }
    if (r.lineCompleted)
        m_status->setText(QString::fromStdString(m_reading.ProgressText()));
    if (m_reading.IsOver())
        Finish();
}

void COfflineReadDialog::Finish() {
    m_timer.stop();
    m_bFinished = true;
    if (m_owner)
        m_owner->setEnabled(true);
    if (m_reading.GetOutcome() == StreamReading::Outcome::Cancelled)
        return;
    if (m_reading.ShouldWarnIncomplete())
        m_prompts.warning(QString::fromLatin1(kIncompleteWarning));
    m_status->setText(QString::fromStdString(m_reading.ResultText()));
    m_request->setEnabled(false);
    m_ok->setEnabled(true);
    m_ok->setDefault(true);
    m_ok->setFocus();
}

void COfflineReadDialog::reject() {
    // Cancel while reading discards everything; afterwards it just closes.
    if (!m_bFinished) {
        m_reading.Cancel();
        Finish();
    }
    QDialog::reject();
}

}  // namespace voltaro
