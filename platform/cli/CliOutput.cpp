#include "platform/cli/CliOutput.h"

#include "platform/core/TextCodec.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace platform::cli {

void writeOut(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

QString oneLine(const QString& text) {
    QString line = text.trimmed();
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

void writeError(std::string_view program, const QString& text) {
    const QByteArray utf8 = QByteArray(program.data(), static_cast<qsizetype>(program.size())) +
                            ": " + (oneLine(text) + QLatin1Char('\n')).toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stderr);
}

std::string jsonString(std::string_view bytes) {
    return jsonText(platform::toQt(bytes));
}

std::string jsonText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::string out = "\"";
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
    return out;
}

namespace {

template <class T>
std::string shortestNumber(T v) {
    if (!std::isfinite(v)) {
        return "null";
    }
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

}  // namespace

std::string jsonNumber(double v) {
    return shortestNumber(v);
}

std::string jsonNumber(float v) {
    return shortestNumber(v);
}

void JsonWriter::member(std::string_view key) {
    if (!hasMembers_.empty()) {
        if (hasMembers_.back()) {
            out_ += ',';
        }
        hasMembers_.back() = true;
        out_ += '\n';
        out_.append(2 * hasMembers_.size(), ' ');
    }
    if (!key.empty()) {
        out_ += jsonString(key);
        out_ += ": ";
    }
}

void JsonWriter::open(std::string_view key, char bracket) {
    member(key);
    out_ += bracket;
    hasMembers_.push_back(false);
}

void JsonWriter::close(char bracket) {
    const bool any = hasMembers_.back();
    hasMembers_.pop_back();
    if (any) {
        out_ += '\n';
        out_.append(2 * hasMembers_.size(), ' ');
    }
    out_ += bracket;
}

void JsonWriter::beginObject(std::string_view key) {
    open(key, '{');
}

void JsonWriter::endObject() {
    close('}');
}

void JsonWriter::beginArray(std::string_view key) {
    open(key, '[');
}

void JsonWriter::endArray() {
    close(']');
}

void JsonWriter::value(std::string_view key, const std::string& json) {
    member(key);
    out_ += json;
}

std::string JsonWriter::text() const {
    return hasMembers_.empty() ? out_ + '\n' : out_;
}

}  // namespace platform::cli
