// voltaro-cli info FILE.vtr: the version, graph settings, sessions and blocks of a
// project as one JSON object. Texts are converted from the 8-bit code page.

#include "voltaro/cli/CliOutput.h"
#include "voltaro/cli/Commands.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"

namespace voltaro::cli {
namespace {

void writeSample(JsonWriter& json, std::string_view key, const DataSample& s) {
    json.beginObject(key);
    json.value("T", jsonNumber(s.T));
    json.value("U", jsonNumber(s.U));
    json.value("I", jsonNumber(s.I));
    json.value("C", jsonNumber(s.C));
    json.value("E", jsonNumber(s.E));
    json.value("R", jsonNumber(s.R));
    json.value("text", jsonString(s.Text()));
    json.endObject();
}

void writeGraph(JsonWriter& json, const GraphSettings& g) {
    json.beginObject("graph");
    json.value("m_strTitle", jsonString(g.m_strTitle));
    json.value("m_strSubtitle", jsonString(g.m_strSubtitle));
    json.value("m_strTitleFont", jsonString(g.m_strTitleFont));
    json.value("m_strSubtitleFont", jsonString(g.m_strSubtitleFont));
    json.value("m_nTitlesFont", g.m_nTitlesFont);
    json.value("m_nLegendFont", g.m_nLegendFont);
    json.value("m_nOverallFont", g.m_nOverallFont);
    json.value("m_bHorzGrid", g.m_bHorzGrid);
    json.value("m_bVertGrid", g.m_bVertGrid);
    json.value("m_bLegend", g.m_bLegend);
    json.value("m_bOverlapAxes", g.m_bOverlapAxes);
    json.value("m_nCursorKind", g.m_nCursorKind);
    json.beginArray("axes");
    for (const GraphAxis& axis : g.m_axes) {
        json.beginObject();
        json.value("min", jsonNumber(axis.min));
        json.value("autoMin", axis.autoMin);
        json.value("max", jsonNumber(axis.max));
        json.value("autoMax", axis.autoMax);
        json.value("shown", axis.shown);
        json.value("right", axis.right);
        json.value("reference", axis.reference);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

void writeBlock(JsonWriter& json, const CDataBlock& b) {
    json.beginObject();
    json.value("m_strName", jsonString(b.m_strName));
    json.value("m_bSelected", b.m_bSelected ? "true" : "false");
    json.value("m_strCreated", jsonString(b.m_strCreated));
    json.value("m_strInfo", jsonString(b.m_strInfo));
    json.value("m_nBattery", b.m_nBattery);
    json.value("m_nLineType", b.m_nLineType);
    json.value("m_nColorIntensity", b.m_nColorIntensity);
    json.value("protocolBytes", static_cast<long long>(b.m_protocol.size()));
    json.value("samples", static_cast<long long>(b.m_samples.size()));
    if (!b.m_samples.empty()) {
        writeSample(json, "first", b.m_samples.front());
        writeSample(json, "last", b.m_samples.back());
    }
    json.endObject();
}

}  // namespace

int InfoCommand(const QStringList& args) {
    if (args.size() != 1) {
        writeError(QStringLiteral("usage: voltaro-cli info FILE.vtr"));
        return 2;
    }
    CMainDoc doc(true);
    if (!loadProjectForCommand(args[0], doc)) {
        return 1;
    }
    JsonWriter json;
    json.beginObject();
    json.value("version", doc.m_nFileVersion);
    writeGraph(json, doc.m_graphSettings);
    json.beginArray("sessions");
    for (const CDataModule* s : doc.m_sessions) {
        json.beginObject();
        json.value("m_strName", jsonString(s->m_strName));
        json.value("protocolBytes", static_cast<long long>(s->m_protocol.size()));
        json.beginArray("blocks");
        for (const CDataBlock* b : s->m_blocks) {
            writeBlock(json, *b);
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
    json.endObject();
    writeOut(json.text());
    return 0;
}

}  // namespace voltaro::cli
