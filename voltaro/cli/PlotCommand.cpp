// voltaro-cli plot IN.vtr --json [--x minutes|seconds|normalized] [--max-u-end]
// [--current S:B]: the chart the graph page would draw for the project, as JSON.
// The plotted blocks are those stored as selected, as right after loading.

#include "voltaro/cli/CliOutput.h"
#include "voltaro/cli/Commands.h"
#include "voltaro/graph/ChartModel.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"

#include <cstdio>
#include <optional>

namespace voltaro::cli {
namespace {

constexpr const char* kUsage =
    "usage: voltaro-cli plot IN.vtr --json [--x minutes|seconds|normalized] [--max-u-end] "
    "[--current S:B]";

struct PlotOptions {
    QString path;
    bool json = false;
    QString xMode = QStringLiteral("minutes");
    bool maxUAsEnd = false;
    std::optional<std::pair<int, int>> current;
};

std::optional<std::pair<int, int>> parseBlockRef(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return std::nullopt;
    bool okS = false;
    bool okB = false;
    const int s = parts[0].toInt(&okS);
    const int b = parts[1].toInt(&okB);
    if (!okS || !okB || s < 0 || b < 0)
        return std::nullopt;
    return std::pair{s, b};
}

std::optional<PlotOptions> parseOptions(const QStringList& args) {
    PlotOptions o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--json")) {
            o.json = true;
        } else if (a == QLatin1String("--max-u-end")) {
            o.maxUAsEnd = true;
        } else if (a == QLatin1String("--x") && hasValue) {
            o.xMode = args[++i];
            if (o.xMode != QLatin1String("minutes") && o.xMode != QLatin1String("seconds") &&
                o.xMode != QLatin1String("normalized"))
                return std::nullopt;
        } else if (a == QLatin1String("--current") && hasValue) {
            o.current = parseBlockRef(args[++i]);
            if (!o.current)
                return std::nullopt;
        } else if (!a.startsWith(QLatin1String("--")) && o.path.isEmpty()) {
            o.path = a;
        } else {
            return std::nullopt;
        }
    }
    if (o.path.isEmpty() || !o.json)
        return std::nullopt;
    return o;
}

std::string jsonBool(bool v) {
    return v ? "true" : "false";
}

std::string jsonColor(std::uint32_t rgb) {
    char text[10];
    std::snprintf(text, sizeof text, "\"#%06X\"", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

// A chart value, or null for the null marker.
std::string jsonValue(float v) {
    return IsChartNull(v) ? "null" : jsonNumber(v);
}

void writeModel(JsonWriter& json, const ChartModel& m) {
    json.beginObject();
    json.value("NoData", jsonBool(m.noData()));
    json.value("XLabel", jsonString(m.xLabel));
    json.value("PointsPerSubset", m.pointsPerSubset);
    json.beginArray("Blocks");
    for (const ChartBlock& b : m.blocks)
        json.value({}, jsonString(b.qualifiedName));
    json.endArray();
    json.beginArray("Entries");
    for (const ChartEntry& e : m.entries) {
        json.beginObject();
        json.value("Quantity", jsonString(ChartQuantityName(e.quantity)));
        json.value("Axis", e.yAxis);
        json.value("Right", jsonBool(e.right));
        json.value("Label", jsonString(e.label));
        json.value("Color", jsonColor(e.color));
        json.value("Min", jsonNumber(e.min));
        json.value("Max", jsonNumber(e.max));
        json.value("ScaleCode", e.scaleCode);
        json.endObject();
    }
    json.endArray();
    json.beginArray("AxisSubsets");
    for (const ChartAxis& a : m.axes)
        json.value({}, a.subsetCount);
    json.endArray();
    json.beginArray("Subsets");
    for (std::size_t s = 0; s < m.subsets.size(); ++s) {
        const ChartSubset& sub = m.subsets[s];
        const auto x = m.subsetX(static_cast<int>(s));
        const bool any = sub.realPoints > 0;
        json.beginObject();
        json.value("Label", jsonString(sub.label));
        json.value("LineKind", sub.lineKind);
        json.value("Color", jsonColor(sub.color));
        json.value("Points", sub.realPoints);
        json.value("XFirst", any ? jsonNumber(x.front()) : "null");
        json.value("XLast",
                   any ? jsonNumber(x[static_cast<std::size_t>(sub.realPoints - 1)]) : "null");
        json.value("YMin", jsonValue(sub.yMin));
        json.value("YMax", jsonValue(sub.yMax));
        if (IsChartNull(sub.closeLow)) {
            json.value("Close", "null");
        } else {
            json.beginArray("Close");
            json.value({}, jsonNumber(sub.closeLow));
            json.value({}, jsonNumber(sub.closeHigh));
            json.endArray();
        }
        json.endObject();
    }
    json.endArray();
    json.beginArray("Legend");
    for (int position : m.legend)
        json.value({}, position);
    json.endArray();
    json.endObject();
}

}  // namespace

int PlotCommand(const QStringList& args) {
    const std::optional<PlotOptions> o = parseOptions(args);
    if (!o) {
        writeError(QString::fromLatin1(kUsage));
        return 2;
    }
    CMainDoc doc(true);
    if (!loadProjectForCommand(o->path, doc))
        return 1;

    ChartViewState view;
    view.maxUAsEnd = o->maxUAsEnd;
    // The two X modes exclude each other, as the page's commands keep them.
    view.normalizedX = o->xMode == QLatin1String("normalized");
    doc.m_graphSettings.m_bXSeconds = o->xMode == QLatin1String("seconds") ? 1 : 0;
    if (o->current) {
        const auto [s, b] = *o->current;
        const bool found =
            static_cast<std::size_t>(s) < doc.m_sessions.GetCount() &&
            static_cast<std::size_t>(b) <
                doc.m_sessions.GetAt(static_cast<std::size_t>(s))->m_blocks.GetCount();
        if (!found) {
            writeError(QStringLiteral("no block %1:%2 in %3").arg(s).arg(b).arg(o->path));
            return 1;
        }
        view.currentBlock = doc.m_sessions.GetAt(static_cast<std::size_t>(s))
                                ->m_blocks.GetAt(static_cast<std::size_t>(b));
    }

    JsonWriter json;
    writeModel(json, BuildChartModel(doc, view));
    writeOut(json.text());
    return 0;
}

}  // namespace voltaro::cli
