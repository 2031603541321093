#pragma once
// The ordered list of protocol parsers and the dispatch of one line to them.
//
// The program builds one list at start-up (BuildParserList) and hands it to the
// receivers, imports and readers, which take it by reference; a test builds
// its own.

#include "voltaro/model/CObListEx.h"
#include "voltaro/reception/CProtParser.h"

#include <QString>

#include <functional>
#include <memory>
#include <string_view>

namespace voltaro {

class CDataBlock;
struct DataSample;

class ParserList {
public:
    ParserList() = default;
    ParserList(const ParserList&) = delete;
    ParserList& operator=(const ParserList&) = delete;

    // The list keeps the order of adding.
    template <class Parser>
    Parser* Add(std::unique_ptr<Parser> pParser) {
        Parser* added = pParser.get();
        m_parsers.AddTail(std::move(pParser));
        return added;
    }
    void Clear() { m_parsers.RemoveAll(); }
    std::size_t GetCount() const { return m_parsers.GetCount(); }
    CProtParser* GetAt(std::size_t i) const { return m_parsers.GetAt(i); }

    // Headers first, in list order; then (unless bHeaderOnly) data lines. The
    // parser that claims the line goes to *ppParser. kNobodyWanted when none does.
    int FindParser(CDataBlock& block, CProtParser** ppParser, std::string_view line, bool bComplete,
                   DataSample* pSample, bool bHeaderOnly) const;
    // Whether the complete line would start a block (a header, or a data line a
    // parser accepts), probed on a scratch block.
    bool StartsBlock(std::string_view line) const;
    // Offers a line of the block to its parser (or finds one); a complete header
    // of another block finishes this one. Samples are appended to the block.
    int OfferLine(CDataBlock& block, std::string_view line, bool bComplete, bool bOnline) const;

private:
    CObListEx<CProtParser> m_parsers;
};

// Adds the parsers of the definition files found in a folder, in their
// discovery order. Installed by the definition-file parsers; without one the
// list holds the built-in parsers only.
using DefinitionParserLoader = std::function<void(const QString& folder, ParserList& list)>;

// Fills the list: the KOVA parser first, then the definition-file parsers of the
// folder through the loader. Building again replaces the contents.
void BuildParserList(ParserList& list, const QString& folder,
                     const DefinitionParserLoader& loader = {});
// Deletes the parsers and empties the list (the list does so when destroyed).
void FreeParserList(ParserList& list);

}  // namespace voltaro
