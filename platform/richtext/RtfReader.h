#pragma once
// Reads the rich text of a Windows rich-edit control (and of other RTF
// writers, as far as plain formatted text goes) into the RichText model.
//
// Pictures, objects, headers, footers, style sheets and every ignorable
// destination are dropped; unknown control words are skipped. The parser keeps
// its group stack on the heap with a fixed depth limit, so hostile nesting costs
// neither the stack nor unbounded memory.

#include "platform/core/TextCodec.h"
#include "platform/richtext/RichText.h"

#include <string_view>

namespace platform {

class RtfReader {
public:
    // Groups nested deeper than this share the state of the deepest one.
    static constexpr int kMaxDepth = 128;
    // Tab stops beyond this many per paragraph are ignored.
    static constexpr int kMaxTabStops = 64;

    // True when the bytes start with "{\rtf".
    static bool isRtf(std::string_view bytes);

    // True when the bytes end in a control word, with or without its number: a
    // delimiter must follow before more text can be appended. A control symbol
    // ("\\", "\{"), a hex escape ("\'e9") or text at the end is no control word.
    static bool endsWithControlWord(std::string_view bytes);

    // RTF when isRtf(), otherwise plain 8-bit text in the given codec with
    // CR LF, LF or CR between paragraphs.
    static RichText read(std::string_view bytes, const TextCodec& plainCodec = TextCodec::system());

    static RichText readRtf(std::string_view bytes);
    static RichText readPlainText(std::string_view bytes, const TextCodec& codec);
};

}  // namespace platform
