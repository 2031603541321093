#include "orlo/cli/CliOutput.h"

#include "platform/core/TextCodec.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace orlo::cli {

void writeOut(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void writeError(const QString& text) {
    const QByteArray utf8 = (QStringLiteral("orlo-cli: ") + text + QLatin1Char('\n')).toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stderr);
}

std::string jsonString(std::string_view bytes) {
    const QByteArray utf8 = platform::toQt(bytes).toUtf8();
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

std::string jsonNumber(double v) {
    if (!std::isfinite(v))
        return "null";
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

bool readBlockForCommand(const QString& path, TDataBlock& block) {
    const TReadResult r = ReadDataFile(path, block);
    if (r.Outcome != TReadOutcome::Ok) {
        writeError(path + QStringLiteral(": ") + r.Message);
        return false;
    }
    if (r.Count < 1) {
        writeError(path + QStringLiteral(": the file holds no sample"));
        return false;
    }
    return true;
}

}  // namespace orlo::cli
