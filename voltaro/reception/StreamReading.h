#pragma once
// The reading loop of one session: an offline download from the port (asked for
// with the request byte 'U', ended by the device or by 2000 ms of silence after
// data) or the import of a raw text file. A state machine fed bytes and idle
// checks; time comes from the injected clock.

#include "platform/core/Clock.h"
#include "voltaro/model/ReceiverState.h"
#include "voltaro/reception/Receiver.h"

#include <QtGlobal>

#include <cstdint>
#include <functional>
#include <string>

namespace platform {
class PolledPort;
}

namespace voltaro {

class CDataModule;
class ParserList;

class StreamReading {
public:
    static constexpr qint64 kSilenceMs = 2000;
    static constexpr std::uint8_t kRequestByte = 'U';

    // Failed: the port broke; what came so far may be incomplete, as after silence.
    enum class Outcome { Reading, Done, TimedOut, Failed, Cancelled };

    StreamReading(CDataModule& session, const ParserList& parsers, platform::Clock clock,
                  CreatedTextFn createdText = LocalDateTimeText);

    // A received byte. False once the loop is over.
    bool Feed(std::uint8_t c);
    // No byte is waiting now: after data, a long silence ends the loop.
    bool Idle();
    // The port could not be read: the loop ends with errors.
    void ReadFailed();
    void Cancel();

    // "&Request Data": the request byte goes out at the next moment without data.
    void Request() { m_bRequest = true; }
    bool TakeRequest();

    Outcome GetOutcome() const { return m_outcome; }
    bool IsOver() const { return m_outcome != Outcome::Reading; }
    bool AnyData() const { return m_state.m_nChars > 0; }
    // True right after a line was completed (the buffer is empty).
    bool LineBufferEmpty() const { return m_state.m_nLen == 0; }
    const ReceiverState& State() const { return m_state; }
    int BlockCount() const;

    // "Reading... (%d lines, %d bad, %d blocks)"
    std::string ProgressText() const;
    // The closing status: read successful, or there were errors.
    std::string ResultText() const;
    // A download that stopped on silence (or a broken port) after it had blocks
    // may be incomplete.
    bool ShouldWarnIncomplete() const;

private:
    ReceiverState m_state;
    Receiver m_receiver;
    platform::Clock m_clock;
    qint64 m_lastByteAt = 0;
    bool m_bRequest = false;
    Outcome m_outcome = Outcome::Reading;
};

// One pass of a reading loop over a port: reads every waiting byte, or, when
// none waits, checks the silence and sends a pending request.
struct PumpResult {
    bool lineCompleted = false;  // the status line may change
    bool requestFailed = false;  // the request byte could not be sent
};
PumpResult PumpPort(StreamReading& reading, platform::PolledPort& port);

inline constexpr const char* kRequestFailedText = "Could not transmit data request message.";
inline constexpr const char* kIncompleteWarning =
    "Data reception has not finished successfully. Data may be corrupted.";
inline constexpr const char* kWaitingText = "Waiting for data ....";

}  // namespace voltaro
