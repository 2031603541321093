#include "voltaro/reception/Receiver.h"

#include "platform/core/TextCodec.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/reception/ParserList.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <limits>
#include <string_view>

namespace voltaro {

std::string LocalDateTimeText() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    // The long time format with seconds, without the time zone Qt adds to it.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return platform::fromQt(locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                            locale.toString(now.time(), timeFormat.trimmed()));
}

Receiver::Receiver(ReceiverState& state, const ParserList& parsers, CreatedTextFn createdText)
    : m_state(state), m_parsers(parsers), m_createdText(std::move(createdText)) {}

namespace {

// Snooping may run for weeks: the counters stop at their limit instead of
// overflowing.
void countUp(int& counter) {
    if (counter < std::numeric_limits<int>::max())
        ++counter;
}

}  // namespace

void Receiver::ClearBuffer() {
    m_state.m_nLen = 0;
    m_state.m_buffer[0] = '\0';
}

CDataBlock* Receiver::StartBlock() {
    if (!m_state.m_pSession) {
        m_state.m_newSession = std::make_unique<CDataModule>(m_state.m_pDocument);
        m_state.m_pSession = m_state.m_newSession.get();
    }
    CDataBlock* block = m_state.m_pSession->AddBlock(std::make_unique<CDataBlock>());
    if (m_createdText)
        block->m_strCreated = m_createdText();
    m_state.m_pBlock = block;
    return block;
}

int Receiver::PutChar(unsigned char c) {
    ReceiverState& r = m_state;
    if (c == 0) {
        if (r.m_bOnline && r.m_pBlock && r.m_pBlock->m_pParser &&
            r.m_pBlock->m_pParser->IsTimedOut()) {
            r.m_pBlock = nullptr;
            return 0;
        }
        return 1;
    }
    if (c == '\r')
        c = '\n';
    countUp(r.m_nChars);

    // A line that fills the buffer is forced out with the new character in it.
    const bool complete = c == '\n' || r.m_nLen >= kMaxLine - 1;
    r.m_buffer[static_cast<std::size_t>(r.m_nLen)] = c == '\n' ? '\0' : static_cast<char>(c);
    ++r.m_nLen;
    r.m_buffer[static_cast<std::size_t>(r.m_nLen)] = '\0';
    // The line as the parsers see it: without the line feed's NUL. Nothing else
    // in the buffer is NUL (0 never gets here), so the length is known.
    const std::string_view line(r.m_buffer.data(),
                                static_cast<std::size_t>(c == '\n' ? r.m_nLen - 1 : r.m_nLen));

    if (complete) {
        if (!line.empty())
            countUp(r.m_nLines);
        if (!r.m_pBlock && m_parsers.StartsBlock(line))
            StartBlock();
    }

    if (r.m_pBlock) {
        int flags = m_parsers.OfferLine(*r.m_pBlock, line, complete, r.m_bOnline);
        if (flags & PF_UNRECOGNISED) {
            if (!complete)
                return 1;
            if (!line.empty())
                countUp(r.m_nBad);
            ClearBuffer();
            return 1;
        }
        if (flags & (PF_FINISH | PF_NEXT_BLOCK)) {
            CDataBlock* ended = r.m_pBlock;
            r.m_pBlock = nullptr;
            if (ended->m_samples.empty() && r.m_pSession)
                r.m_pSession->RemoveBlock(ended, true, r.m_bOnline, nullptr);
        }
        if (complete && !(flags & PF_CONSUMED) && !r.m_pBlock) {
            StartBlock();
            flags = m_parsers.OfferLine(*r.m_pBlock, line, complete, r.m_bOnline);
        }
        if (flags & (PF_CONSUMED | PF_FINISH)) {
            ClearBuffer();
            return (flags & PF_FINISH) ? 0 : 1;
        }
    }
    if (complete)
        ClearBuffer();
    return 1;
}

}  // namespace voltaro
