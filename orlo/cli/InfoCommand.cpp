// orlo-cli info FILE.orl: the header, sample count, statistics, notes and annotations
// of a data file as one JSON object.

#include "orlo/cli/CliOutput.h"
#include "orlo/cli/Commands.h"
#include "platform/richtext/RtfReader.h"

#include <string>
#include <utility>

namespace orlo::cli {

int InfoCommand(const QStringList& args) {
    if (args.size() != 1) {
        writeError(QStringLiteral("usage: orlo-cli info FILE.orl"));
        return 2;
    }
    TDataBlock b;
    if (!readBlockForCommand(args[0], b))
        return 1;

    JsonWriter json;
    json.beginObject();
    json.value("DateText", jsonString(b.DateText));
    const std::pair<const char*, std::int32_t> words[] = {{"Interval", b.Interval},
                                                          {"ChannelMask", b.ChannelMask},
                                                          {"CurrentZero", b.CurrentZero},
                                                          {"CurrentScale", b.CurrentScale},
                                                          {"VoltageScale", b.VoltageScale},
                                                          {"CurrentMode", b.CurrentMode},
                                                          {"Extra", b.Extra}};
    for (const auto& [key, value] : words)
        json.value(key, value);
    json.value("Samples", static_cast<long long>(b.SampleCount()));
    // One line: the flags read as a row.
    std::string present = "[";
    for (std::size_t i = 0; i < b.Present.size(); ++i) {
        if (i > 0)
            present += ", ";
        present += b.Present[i] ? "true" : "false";
    }
    present += "]";
    json.value("Present", present);
    const std::pair<const char*, double> stats[] = {
        {"MaxU", b.MaxU}, {"MinU", b.MinU},     {"AvgU", b.AvgU},    {"MaxI", b.MaxI},
        {"MinI", b.MinI}, {"AvgI", b.AvgI},     {"MaxP", b.MaxP},    {"AvgP", b.AvgP},
        {"MaxR", b.MaxR}, {"BlockC", b.BlockC}, {"BlockE", b.BlockE}};
    for (const auto& [key, value] : stats)
        json.value(key, jsonNumber(value));
    // The notes as the text a reader sees, one line per paragraph.
    json.value("Notes", platform::cli::jsonText(platform::RtfReader::read(b.Notes).plainText()));
    json.beginArray("Annotations");
    for (const TAnnotation& a : b.Annotations) {
        json.beginObject();
        json.value("Time", jsonNumber(a.Time));
        json.value("Text", platform::cli::jsonText(QString::fromStdString(a.Text)));
        json.endObject();
    }
    json.endArray();
    json.endObject();
    writeOut(json.text());
    return 0;
}

}  // namespace orlo::cli
