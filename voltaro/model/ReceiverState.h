#pragma once
// The state of one line receiver: where its sessions and blocks go, its counters
// and the line being assembled. The document keeps one for background reception;
// every reading loop keeps its own. The line assembly that works on it lives with
// the reception code; the document only needs to know the online session.

#include "voltaro/model/CDataModule.h"

#include <array>
#include <memory>

namespace voltaro {

class ItemDocument;
class CDataBlock;

struct ReceiverState {
    static constexpr int kBufferSize = 132;

    ItemDocument* m_pDocument = nullptr;  // owner of new sessions; none for a reading loop
    CDataModule* m_pSession = nullptr;    // the session receiving blocks (the online session)
    // A session the receiver made itself while it has joined no project yet;
    // m_pSession points to it. Whoever adds it to a project takes it from here.
    std::unique_ptr<CDataModule> m_newSession;
    CDataBlock* m_pBlock = nullptr;  // the block being received
    int m_nLines = 0;                // complete non-empty lines
    int m_nChars = 0;                // non-zero bytes fed in
    int m_nBad = 0;                  // complete non-empty lines no parser wanted
    bool m_bOnline = false;          // the document's receiver
    int m_nLen = 0;                  // characters in m_buffer
    std::array<char, kBufferSize> m_buffer{};
};

}  // namespace voltaro
