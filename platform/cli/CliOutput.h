#pragma once
// Output helpers for command-line programs: raw bytes to stdout, messages to stderr
// and the pieces of JSON the commands print.

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace platform::cli {

void writeOut(std::string_view bytes);
// The text trimmed, each line break (CR LF, CR or LF) made one blank. The core's
// texts are made for message boxes, where a line break puts the reason on a line
// of its own; on a terminal a bare CR would send the rest back over the start, and
// a script reading "<program>:" lines would lose the second line.
QString oneLine(const QString& text);
// "<program>: <text>" on one line (oneLine) and a line end on stderr, as UTF-8.
void writeError(std::string_view program, const QString& text);

// A JSON string literal of 8-bit file text, decoded through the system codec.
std::string jsonString(std::string_view bytes);
// A JSON string literal of text.
std::string jsonText(const QString& text);
// The shortest text that reads back as the same number; null when not finite.
std::string jsonNumber(double v);
std::string jsonNumber(float v);

// Indented JSON, built member by member. Values are given as JSON text.
class JsonWriter {
public:
    void beginObject(std::string_view key = {});
    void endObject();
    void beginArray(std::string_view key = {});
    void endArray();
    void value(std::string_view key, const std::string& json);
    void value(std::string_view key, long long number) { value(key, std::to_string(number)); }
    // The text so far, with a final line end once everything is closed.
    std::string text() const;

private:
    void open(std::string_view key, char bracket);
    void close(char bracket);
    void member(std::string_view key);

    std::string out_;
    std::vector<bool> hasMembers_;  // one per open object or array
};

}  // namespace platform::cli
