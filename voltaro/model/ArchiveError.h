#pragma once
// The one failure type of the project archive. Readers and writers throw it; the
// document catches it where the file is handled and turns it into a message that
// names the file.

#include <QString>

#include <stdexcept>

namespace voltaro {

class ArchiveError : public std::runtime_error {
public:
    enum class Cause {
        EndOfFile,     // the data end before what they announce
        BadSchema,     // unsupported file version or class schema
        BadClass,      // unknown or unexpected class of object
        BadIndex,      // reference to an object or class that was not read
        BadString,     // a string form this program does not read
        TooLarge,      // a length or count that does not fit the format
        AccessDenied,  // target file is read-only
        Io,            // the device failed
    };

    ArchiveError(Cause cause, const QString& detail)
        : std::runtime_error(detail.toStdString()), cause_(cause), detail_(detail) {}

    Cause cause() const { return cause_; }
    const QString& detail() const { return detail_; }

private:
    Cause cause_;
    QString detail_;
};

}  // namespace voltaro
