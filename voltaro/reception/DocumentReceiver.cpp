#include "voltaro/reception/DocumentReceiver.h"

#include "platform/core/Prompts.h"
#include "platform/serial/PolledPort.h"
#include "platform/settings/SettingsStore.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/SerialLineSettings.h"

#include <QTimer>

namespace voltaro {
namespace {

class QtReceiverTimer : public ReceiverTimer {
public:
    bool start(int intervalMs, std::function<void()> tick) override {
        timer_.stop();
        QObject::disconnect(&timer_, nullptr, nullptr, nullptr);
        QObject::connect(&timer_, &QTimer::timeout, std::move(tick));
        timer_.start(intervalMs);
        return timer_.isActive();
    }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

}  // namespace

ReceiverTimer::~ReceiverTimer() = default;

std::unique_ptr<ReceiverTimer> MakeQtReceiverTimer() {
    return std::make_unique<QtReceiverTimer>();
}

DocumentReceiver::DocumentReceiver(ReceptionServices services) : m_services(std::move(services)) {}

DocumentReceiver::~DocumentReceiver() {
    if (m_services.timer)
        m_services.timer->stop();
    if (m_services.port)
        m_services.port->close();
}

void DocumentReceiver::InstallInto(DocumentServices& services) {
    services.startReceiver = [this](CMainDoc& doc) {
        Attach(doc);
        return StartReceiver();
    };
    services.stopReceiver = [this](CMainDoc& doc) {
        if (m_pDoc != &doc)
            return;
        // The document is going away: no session to end any more.
        if (m_services.timer)
            m_services.timer->stop();
        if (m_services.port)
            m_services.port->close();
        m_receiver.reset();
        m_pDoc = nullptr;
    };
}

void DocumentReceiver::Attach(CMainDoc& doc) {
    if (m_pDoc == &doc)
        return;
    m_pDoc = &doc;
    static const ParserList kNoParsers;
    m_receiver = std::make_unique<Receiver>(doc.m_receiver,
                                            m_services.parsers ? *m_services.parsers : kNoParsers,
                                            m_services.createdText);
    // The device name lives beside the port index, where ports have names.
    if (const platform::SettingsKey* root = doc.Services().settingsRoot) {
        if (const auto key =
                platform::OpenKeyPath(CMainDoc::kOptionsKeyPath, *root, platform::KeyAccess::Read))
            m_strPortName = platform::ReadString(*key, kPortNameValue, {});
    }
}

bool DocumentReceiver::IsOnline() const {
    return m_pDoc && m_pDoc->GetOnlineSession() != nullptr;
}

DocumentReceiver::State DocumentReceiver::GetState() const {
    if (IsOnline())
        return State::Receiving;
    if (m_services.timer && m_services.timer->isActive() && m_services.port &&
        m_services.port->isOpen())
        return State::Listening;
    return State::Off;
}

QString DocumentReceiver::PortName() const {
    return SerialPortName(m_pDoc ? m_pDoc->m_nPortIndex : 0, m_strPortName);
}

bool DocumentReceiver::OpenPort() {
    if (!m_pDoc || !m_services.port)
        return false;
    const platform::PortOpenResult r =
        m_services.port->open(PortName(), PortSettingsFromRecord(m_pDoc->m_dcb));
    if (r.ok())
        return true;
    if (m_services.prompts) {
        m_services.prompts->error(QString::fromLatin1(
            r.status == platform::PortOpenResult::OpenFailed ? kOpenFailed : kSetupFailed));
    }
    return false;
}

bool DocumentReceiver::StartReceiver() {
    if (!m_pDoc || !m_services.port || !m_services.timer)
        return false;
    if (!m_services.port->isOpen() && !OpenPort())
        return false;
    m_pDoc->m_nOnlinePhase = 3;
    if (!m_services.timer->isActive() &&
        !m_services.timer->start(kPollIntervalMs, [this] { Poll(); }))
        return false;
    ReceiverState& r = m_pDoc->m_receiver;
    r.m_pSession = nullptr;
    r.m_pBlock = nullptr;
    // A session the receiver made that the project never got.
    r.m_newSession.reset();
    return true;
}

void DocumentReceiver::EndOnlineSession() {
    if (m_pDoc)
        m_pDoc->EndOnlineSession();
}

void DocumentReceiver::StopReceiver() {
    if (m_services.timer && m_services.timer->isActive())
        m_services.timer->stop();
    if (m_services.port && m_services.port->isOpen())
        m_services.port->close();
    EndOnlineSession();
}

void DocumentReceiver::Poll() {
    if (!m_pDoc || !m_receiver || !m_services.port)
        return;
    CMainDoc& doc = *m_pDoc;
    ReceiverState& r = doc.m_receiver;
    std::uint8_t lastRead = 0;
    bool stop = false;
    while (!stop) {
        const qint64 waiting = m_services.port->bytesWaiting();
        if (waiting < 0)
            return;  // the next tick tries again
        std::uint8_t c = 0;
        const bool read = waiting > 0 && m_services.port->readByte(c);
        if (!read)
            c = 0;
        else
            lastRead = c;
        const int result = m_receiver->PutChar(c);
        // A session the receiver made joins the project before anything may end
        // it: one line can open a session and finish it.
        if (r.m_newSession) {
            doc.AddSession(std::move(r.m_newSession));
            doc.SetModifiedFlag();
        }
        if (result == 0) {
            if (doc.m_bKeepReceiverOn) {
                EndOnlineSession();
            } else {
                StopReceiver();
                stop = true;
            }
        }
        if (!read)
            break;
    }
    if (r.m_pSession && r.m_nChars > 0 && lastRead != 0) {
        doc.m_nOnlinePhase =
            (doc.m_nOnlinePhase == 0 || doc.m_nOnlinePhase == 1) ? doc.m_nOnlinePhase + 1 : 0;
        doc.UpdateAllViews(nullptr, HINT_SESSION_CHANGED, r.m_pSession);
    }
}

void DocumentReceiver::OnSerialSnooping() {
    if (!m_pDoc)
        return;
    if (m_pDoc->m_bKeepReceiverOn) {
        if (!IsOnline())
            StopReceiver();
        m_pDoc->m_bKeepReceiverOn = false;
    } else {
        ApplySnoopingChoice(true);
    }
}

void DocumentReceiver::ApplySnoopingChoice(bool bOn) {
    if (bOn)
        m_pDoc->m_bKeepReceiverOn = IsOnline() || StartReceiver();
    else
        m_pDoc->m_bKeepReceiverOn = false;
}

void DocumentReceiver::OnCreateOnlineSession() {
    if (!m_pDoc || IsOnline() || !StartReceiver())
        return;
    auto session = std::make_unique<CDataModule>(m_pDoc);
    // The views told of the new session find it online already.
    m_pDoc->m_receiver.m_pSession = session.get();
    m_pDoc->AddSession(std::move(session));
    m_pDoc->SetModifiedFlag();
}

void DocumentReceiver::OnAbortOnlineSession() {
    if (!m_pDoc)
        return;
    if (m_pDoc->m_bKeepReceiverOn)
        EndOnlineSession();
    else
        StopReceiver();
}

bool DocumentReceiver::ReadOffline(CDataModule& session) {
    if (!OpenPort())
        return false;
    const bool keep = m_services.readOffline && m_services.readOffline(session, *m_services.port);
    m_services.port->close();
    return keep;
}

CDataModule* DocumentReceiver::OnOfflineData() {
    if (!m_pDoc)
        return nullptr;
    if (IsOnline()) {
        platform::MessageRequest question;
        question.icon = platform::Icon::Question;
        question.text = QString::fromLatin1(kOnlineBusyQuestion);
        question.buttons = platform::Button::Yes | platform::Button::No;
        question.defaultButton = platform::Button::No;
        if (!m_services.prompts || m_services.prompts->message(question) != platform::Button::Yes)
            return nullptr;
        EndOnlineSession();
    }
    StopReceiver();
    auto session = std::make_unique<CDataModule>(m_pDoc);
    CDataModule* kept = nullptr;
    if (ReadOffline(*session)) {
        m_pDoc->SetModifiedFlag();
        kept = m_pDoc->AddSession(std::move(session));
    }
    if (m_pDoc->m_bKeepReceiverOn)
        StartReceiver();
    return kept;
}

SerialOptions DocumentReceiver::CurrentOptions() const {
    SerialOptions o;
    if (m_pDoc) {
        o.nPortIndex = m_pDoc->m_nPortIndex;
        o.bSnooping = m_pDoc->m_bKeepReceiverOn;
        o.dcb = m_pDoc->m_dcb;
    }
    o.strPortName = m_strPortName;
    o.bSaveAsDefault = true;
    return o;
}

void DocumentReceiver::OnSettings() {
    if (!m_pDoc || !m_services.editOptions)
        return;
    SerialOptions options = CurrentOptions();
    if (m_services.editOptions(options))
        ApplyOptions(options);
}

void DocumentReceiver::ApplyOptions(const SerialOptions& o) {
    if (!m_pDoc)
        return;
    CMainDoc& doc = *m_pDoc;
    const bool changed = o.nPortIndex != doc.m_nPortIndex || o.strPortName != m_strPortName ||
                         o.dcb.ToBytes() != doc.m_dcb.ToBytes();
    doc.m_nPortIndex = o.nPortIndex;
    m_strPortName = o.strPortName;
    doc.m_bKeepReceiverOn = o.bSnooping;
    doc.m_dcb = o.dcb;
    if (o.bSaveAsDefault && doc.Services().settingsRoot) {
        if (const auto key =
                platform::CreateKeyPath(CMainDoc::kOptionsKeyPath, *doc.Services().settingsRoot)) {
            platform::WriteNumber(*key, "CommPortIndex", o.nPortIndex);
            const std::string bytes = o.dcb.ToBytes();
            platform::WriteBinary(*key, "CommPortSetup", bytes.data(), bytes.size());
            platform::WriteNumber(*key, "KeepReceiverOn", o.bSnooping ? 1 : 0);
            platform::WriteString(*key, kPortNameValue, o.strPortName);
        }
    }
    if (changed || !o.bSnooping)
        StopReceiver();
    ApplySnoopingChoice(o.bSnooping);
    doc.UpdateAllViews(nullptr, HINT_OPTIONS);
}

bool DocumentReceiver::OnCommand(unsigned nID) {
    switch (nID) {
        case ID_SERIAL_SNOOPING:
            OnSerialSnooping();
            return true;
        case ID_ONLINE_CREATE:
            OnCreateOnlineSession();
            return true;
        case ID_ONLINE_ABORT:
            OnAbortOnlineSession();
            return true;
        case ID_DATA_OFFLINE:
            OnOfflineData();
            return true;
        case ID_APP_SETTINGS:
            OnSettings();
            return true;
        default:
            return false;
    }
}

bool DocumentReceiver::OnUpdateCommand(unsigned nID, CommandState& state) const {
    const bool snooping = m_pDoc && m_pDoc->m_bKeepReceiverOn;
    switch (nID) {
        case ID_SERIAL_SNOOPING:
            state.bEnabled = m_pDoc != nullptr;
            state.bChecked = snooping;
            return true;
        case ID_ONLINE_CREATE:
            state.bEnabled = m_pDoc && !snooping && !IsOnline();
            state.bChecked = false;
            return true;
        case ID_ONLINE_ABORT:
            state.bEnabled = IsOnline();
            state.bChecked = false;
            return true;
        case ID_DATA_OFFLINE:
        case ID_APP_SETTINGS:
            state.bEnabled = m_pDoc != nullptr;
            state.bChecked = false;
            return true;
        default:
            return false;
    }
}

}  // namespace voltaro
