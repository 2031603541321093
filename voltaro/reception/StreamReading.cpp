#include "voltaro/reception/StreamReading.h"

#include "platform/serial/PolledPort.h"
#include "voltaro/model/CDataModule.h"

namespace voltaro {

StreamReading::StreamReading(CDataModule& session, const ParserList& parsers, platform::Clock clock,
                             CreatedTextFn createdText)
    : m_receiver(m_state, parsers, std::move(createdText)), m_clock(std::move(clock)) {
    m_state.m_pSession = &session;
    m_state.m_bOnline = false;
}

int StreamReading::BlockCount() const {
    return m_state.m_pSession ? static_cast<int>(m_state.m_pSession->m_blocks.GetCount()) : 0;
}

bool StreamReading::Feed(std::uint8_t c) {
    if (IsOver())
        return false;
    if (m_clock)
        m_lastByteAt = m_clock();
    if (m_receiver.PutChar(c) == 0)
        m_outcome = Outcome::Done;
    return !IsOver();
}

bool StreamReading::Idle() {
    if (IsOver())
        return true;
    if (m_clock && AnyData() && m_clock() - m_lastByteAt > kSilenceMs)
        m_outcome = Outcome::TimedOut;
    return IsOver();
}

void StreamReading::ReadFailed() {
    if (!IsOver())
        m_outcome = Outcome::Failed;
}

void StreamReading::Cancel() {
    if (!IsOver())
        m_outcome = Outcome::Cancelled;
}

bool StreamReading::TakeRequest() {
    const bool r = m_bRequest;
    m_bRequest = false;
    return r;
}

std::string StreamReading::ProgressText() const {
    return "Reading... (" + std::to_string(m_state.m_nLines) + " lines, " +
           std::to_string(m_state.m_nBad) + " bad, " + std::to_string(BlockCount()) + " blocks)";
}

std::string StreamReading::ResultText() const {
    const int n = BlockCount();
    if (n > 0 && m_outcome == Outcome::Done) {
        if (n == 1)
            return "Read successful (1 block read).";
        return "Read successful (" + std::to_string(n) + " blocks read).";
    }
    if (n == 1)
        return "There were errors! (1 block read).";
    return "There were errors! (" + std::to_string(n) + " blocks read).";
}

bool StreamReading::ShouldWarnIncomplete() const {
    return (m_outcome == Outcome::TimedOut || m_outcome == Outcome::Failed) && BlockCount() > 0;
}

PumpResult PumpPort(StreamReading& reading, platform::PolledPort& port) {
    PumpResult r;
    while (!reading.IsOver()) {
        const qint64 waiting = port.bytesWaiting();
        if (waiting < 0) {
            reading.ReadFailed();
            break;
        }
        if (waiting == 0) {
            if (reading.Idle())
                break;
            if (reading.TakeRequest()) {
                const std::uint8_t request = StreamReading::kRequestByte;
                if (port.write({&request, 1}) != 1)
                    r.requestFailed = true;
            }
            break;
        }
        std::uint8_t c = 0;
        if (!port.readByte(c)) {
            reading.ReadFailed();
            break;
        }
        reading.Feed(c);
        if (reading.LineBufferEmpty())
            r.lineCompleted = true;
    }
    return r;
}

}  // namespace voltaro
