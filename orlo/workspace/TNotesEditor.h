#pragma once
// What the open-block grid needs of the notes editor: the actual block's notes in and
// out, and whether the user changed them.

#include <string>

namespace orlo {

class TNotesEditor {
public:
    virtual ~TNotesEditor() = default;
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
    // The editor's text as the block stores it (rich text).
    virtual std::string SaveNotes() const = 0;
    // Rich or plain text.
    virtual void LoadNotes(const std::string& notes) = 0;
    virtual void ClearNotes() = 0;
};

}  // namespace orlo
