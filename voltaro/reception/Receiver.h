#pragma once
// Line assembly of a receiver: bytes in, complete lines (and every partial one)
// out to the parsers, blocks and sessions created as headers arrive.

#include "voltaro/model/ReceiverState.h"

#include <functional>
#include <string>

namespace voltaro {

class CDataBlock;
class ParserList;

// The text a new block keeps as its creation time.
using CreatedTextFn = std::function<std::string()>;

// The local date and time in the user's short date and time format.
std::string LocalDateTimeText();

class Receiver {
public:
    static constexpr int kMaxLine = 129;  // characters of a forced line

    Receiver(ReceiverState& state, const ParserList& parsers,
             CreatedTextFn createdText = LocalDateTimeText);

    // Feeds one byte; 0 is the idle call of a poll that found nothing. Returns 1
    // to go on, 0 when reception should stop (a finished transmission, or an
    // online block whose parser timed out).
    int PutChar(unsigned char c);

    ReceiverState& State() { return m_state; }
    const ReceiverState& State() const { return m_state; }

private:
    CDataBlock* StartBlock();
    void ClearBuffer();

    ReceiverState& m_state;
    const ParserList& m_parsers;
    CreatedTextFn m_createdText;
};

}  // namespace voltaro
