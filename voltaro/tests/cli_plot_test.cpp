// voltaro-cli plot --json, run as a separate process on projects this test saves
// with the program's own document.
#include "platform/testing/ChildProcess.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using namespace voltaro;

struct PlotRun {
    int exitCode = -1;
    QJsonObject json;
    std::string err;
};

PlotRun plot(const QStringList& args) {
    const platform::testing::ProgramRun r = platform::testing::runProgram(
        QStringLiteral(VOLTARO_CLI_PATH), QStringList{QStringLiteral("plot")} + args);
    PlotRun out{r.exitCode, {}, r.err.toStdString()};
    if (r.exitCode == 0) {
        QJsonParseError error;
        out.json = QJsonDocument::fromJson(r.out, &error).object();
        EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    }
    return out;
}

DataSample sample(float t, float u, float i) {
    DataSample s;
    s.T = t;
    s.U = u;
    s.I = i;
    return s;
}

QStringList keys(const QJsonObject& o) {
    QStringList k = o.keys();
    k.sort();
    return k;
}

QJsonArray array(std::initializer_list<double> values) {
    QJsonArray a;
    for (double v : values)
        a.append(v);
    return a;
}

class CliPlot : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    // "Charge": A (3 samples, flat U and I, selected), B (5 samples, U peaks at
    // the third, intensity 50 %, line type 2 "Dot", selected), C (not selected);
    // "Discharge": D (empty, selected).
    QString project(const std::function<void(CMainDoc&)>& change = {}) {
        CMainDoc doc(true);
        auto* charge = doc.m_sessions.AddTail(std::make_unique<CDataModule>(&doc));
        charge->m_strName = "Charge";
        auto add = [](CDataModule* s, const char* name, std::vector<DataSample> samples,
                      bool selected) {
            auto owned = std::make_unique<CDataBlock>();
            auto* b = owned.get();
            b->m_strName = name;
            b->m_samples = std::move(samples);
            b->m_bSelected = selected;
            s->AddBlock(std::move(owned));
            return b;
        };
        add(charge, "A", {sample(0, 12.2f, 2), sample(60, 12.3f, 2), sample(120, 12.4f, 1.8f)},
            true);
        CDataBlock* b = add(charge, "B",
                            {sample(0, 11, 3), sample(60, 12, 3), sample(120, 13, 3),
                             sample(180, 12.5f, 3), sample(240, 12, 3)},
                            true);
        b->m_nColorIntensity = 50;
        b->m_nLineType = 2;
        add(charge, "C", {sample(0, 1, 1)}, false);
        auto* discharge = doc.m_sessions.AddTail(std::make_unique<CDataModule>(&doc));
        discharge->m_strName = "Discharge";
        add(discharge, "D", {}, true);
        if (change)
            change(doc);
        const QString path = dir_.filePath(QStringLiteral("p%1.vtr").arg(++files_));
        QString error;
        EXPECT_TRUE(doc.OnSaveDocument(path, &error)) << error.toStdString();
        return path;
    }

    QTemporaryDir dir_;
    int files_ = 0;
};

TEST_F(CliPlot, PrintsTheChartOfTheSelectedBlocks) {
    const PlotRun r = plot({project(), QStringLiteral("--json")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject& o = r.json;
    EXPECT_EQ(keys(o), (QStringList{"AxisSubsets", "Blocks", "Entries", "Legend", "NoData",
                                    "PointsPerSubset", "Subsets", "XLabel"}));
    EXPECT_EQ(o.value("NoData"), QJsonValue(false));
    EXPECT_EQ(o.value("XLabel").toString(), QStringLiteral("Time [min]"));
    EXPECT_EQ(o.value("PointsPerSubset").toInt(), 7);
    // B is the longest, so it leads.
    EXPECT_EQ(o.value("Blocks").toArray(), (QJsonArray{"Charge.B", "Charge.A", "Discharge.D"}));
    EXPECT_EQ(o.value("AxisSubsets").toArray(), (QJsonArray{3, 3, 3}));
    EXPECT_EQ(o.value("Legend").toArray(), (QJsonArray{1, 0, 2}));

    const QJsonArray entries = o.value("Entries").toArray();
    ASSERT_EQ(entries.size(), 3);
    const QJsonObject u = entries[0].toObject();
    EXPECT_EQ(keys(u), (QStringList{"Axis", "Color", "Label", "Max", "Min", "Quantity", "Right",
                                    "ScaleCode"}));
    EXPECT_EQ(u.value("Quantity").toString(), QStringLiteral("U"));
    EXPECT_EQ(u.value("Axis").toInt(), 0);
    EXPECT_EQ(u.value("Right"), QJsonValue(false));
    EXPECT_EQ(u.value("Label").toString(), QStringLiteral("U [V]"));
    EXPECT_EQ(u.value("Color").toString(), QStringLiteral("#0000C0"));
    EXPECT_EQ(u.value("Min").toDouble(), 11.0);
    EXPECT_EQ(u.value("Max").toDouble(), 13.0);
    EXPECT_EQ(u.value("ScaleCode").toInt(), 0);
    const QJsonObject i = entries[1].toObject();
    EXPECT_EQ(i.value("Quantity").toString(), QStringLiteral("I"));
    EXPECT_EQ(i.value("Axis").toInt(), 1);
    EXPECT_EQ(i.value("Label").toString(), QStringLiteral("I [A]"));
    EXPECT_EQ(i.value("Color").toString(), QStringLiteral("#C00000"));
    // A's flat current (1.8 .. 2) closes at 1.5 and 2.5, B's (3) at 3 and 3.5.
    EXPECT_EQ(i.value("Min").toDouble(), 1.5);
    EXPECT_EQ(i.value("Max").toDouble(), 3.5);
    EXPECT_EQ(entries[2].toObject().value("Quantity").toString(), QStringLiteral("C"));

    const QJsonArray subsets = o.value("Subsets").toArray();
    ASSERT_EQ(subsets.size(), 9);
    const QJsonObject b = subsets[0].toObject();
    EXPECT_EQ(keys(b), (QStringList{"Close", "Color", "Label", "LineKind", "Points", "XFirst",
                                    "XLast", "YMax", "YMin"}));
    EXPECT_EQ(b.value("Label").toString(), QStringLiteral("Charge.B"));
    EXPECT_EQ(b.value("LineKind").toInt(), 2);
    EXPECT_EQ(b.value("Color").toString(), QStringLiteral("#00007F"));
    EXPECT_EQ(b.value("Points").toInt(), 5);
    EXPECT_EQ(b.value("XFirst").toDouble(), 0.0);
    EXPECT_EQ(b.value("XLast").toDouble(), 4.0);
    EXPECT_EQ(b.value("YMin").toDouble(), 11.0);
    EXPECT_EQ(b.value("YMax").toDouble(), 13.0);
    EXPECT_TRUE(b.value("Close").isNull());

    const QJsonObject a = subsets[1].toObject();
    EXPECT_EQ(a.value("Label").toString(), QStringLiteral("Charge.A"));
    EXPECT_EQ(a.value("LineKind").toInt(), 5);
    EXPECT_EQ(a.value("Color").toString(), QStringLiteral("#0000FF"));
    EXPECT_EQ(a.value("Points").toInt(), 3);
    EXPECT_EQ(a.value("XLast").toDouble(), 2.0);
    EXPECT_EQ(a.value("YMin").toDouble(), 12.2);  // the float printed as "12.2"
    EXPECT_EQ(a.value("YMax").toDouble(), 12.4);
    EXPECT_EQ(a.value("Close").toArray(), array({12.0, 12.5}));

    const QJsonObject d = subsets[2].toObject();
    EXPECT_EQ(d.value("Label").toString(), QStringLiteral("Discharge.D"));
    EXPECT_EQ(d.value("LineKind").toInt(), 1);
    EXPECT_EQ(d.value("Color").toString(), QStringLiteral("#0000E5"));
    EXPECT_EQ(d.value("Points").toInt(), 0);
    for (const char* key : {"XFirst", "XLast", "YMin", "YMax", "Close"})
        EXPECT_TRUE(d.value(key).isNull()) << key;

    // The second entry (I) has the same blocks in the same order.
    const QJsonObject ia = subsets[4].toObject();
    EXPECT_EQ(ia.value("Color").toString(), QStringLiteral("#FF0000"));
    EXPECT_EQ(ia.value("Close").toArray(), array({1.5, 2.5}));
}

TEST_F(CliPlot, XModesAndTheCurrentBlock) {
    struct Case {
        QStringList options;
        const char* xLabel;
        QJsonArray blocks;
        double xLastOfB;
        QJsonArray legend;
    };
    const Case cases[] = {
        {{"--x", "minutes"}, "Time [min]", {"Charge.B", "Charge.A", "Discharge.D"}, 4, {1, 0, 2}},
        {{"--x", "seconds"}, "Time [sec]", {"Charge.B", "Charge.A", "Discharge.D"}, 240, {1, 0, 2}},
        {{"--x", "normalized"},
         "0..100 % (Normalized)",
         {"Charge.B", "Charge.A", "Discharge.D"},
         100,
         {1, 0, 2}},
        // B's voltage peaks at its third sample: that sample is 100 %.
        {{"--x", "normalized", "--max-u-end"},
         "0..100 % (Normalized)",
         {"Charge.B", "Charge.A", "Discharge.D"},
         200,
         {1, 0, 2}},
        {{"--max-u-end"}, "Time [min]", {"Charge.B", "Charge.A", "Discharge.D"}, 4, {1, 0, 2}},
        {{"--current", "0:0"}, "Time [min]", {"Charge.A", "Charge.B", "Discharge.D"}, 4, {0, 1, 2}},
        {{"--current", "1:0", "--x", "seconds"},
         "Time [sec]",
         {"Discharge.D", "Charge.A", "Charge.B"},
         240,
         {1, 2, 0}},
        // Not plotted (not selected): the longest leads as without a current block.
        {{"--current", "0:2"}, "Time [min]", {"Charge.B", "Charge.A", "Discharge.D"}, 4, {1, 0, 2}},
    };
    const QString path = project();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const PlotRun r = plot(QStringList{path, QStringLiteral("--json")} + c.options);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.json.value("XLabel").toString(), QString::fromLatin1(c.xLabel));
        EXPECT_EQ(r.json.value("Blocks").toArray(), c.blocks);
        EXPECT_EQ(r.json.value("Legend").toArray(), c.legend);
        const QJsonArray subsets = r.json.value("Subsets").toArray();
        qsizetype bAt = 0;
        while (bAt < c.blocks.size() && c.blocks[bAt] != QJsonValue(QStringLiteral("Charge.B")))
            ++bAt;
        ASSERT_LT(bAt, c.blocks.size());
        EXPECT_EQ(subsets[bAt].toObject().value("XLast").toDouble(), c.xLastOfB);
    }
}

TEST_F(CliPlot, NothingPlotted) {
    const std::function<void(CMainDoc&)> changes[] = {
        [](CMainDoc& doc) {
            for (GraphAxis& a : doc.m_graphSettings.m_axes)
                a.shown = 0;
            doc.m_graphSettings.m_bLegend = 0;
        },
        [](CMainDoc& doc) {
            for (CDataModule* s : doc.m_sessions) {
                for (CDataBlock* b : s->m_blocks)
                    b->m_bSelected = false;
            }
            doc.m_graphSettings.m_bLegend = 0;
        },
    };
    for (const auto& change : changes) {
        const PlotRun r = plot({project(change), QStringLiteral("--json")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.json.value("NoData"), QJsonValue(true));
        EXPECT_EQ(r.json.value("PointsPerSubset").toInt(), 0);
        EXPECT_EQ(r.json.value("Entries").toArray(), QJsonArray());
        EXPECT_EQ(r.json.value("AxisSubsets").toArray(), QJsonArray());
        EXPECT_EQ(r.json.value("Subsets").toArray(), QJsonArray());
        EXPECT_EQ(r.json.value("Legend").toArray(), QJsonArray{-1});
    }
}

TEST_F(CliPlot, RefusesWrongArguments) {
    const QString path = project();
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{path}, 2, "usage: voltaro-cli plot IN.vtr --json"},
        {{path, "--json", "--x", "hours"}, 2, "usage:"},
        {{path, "--json", "--x"}, 2, "usage:"},
        {{path, "--json", "--current", "1"}, 2, "usage:"},
        {{path, "--json", "--current", "-1:0"}, 2, "usage:"},
        {{path, "--json", "--bogus"}, 2, "usage:"},
        {{path, path, "--json"}, 2, "usage:"},
        {{path, "--json", "--current", "2:0"}, 1, "no block 2:0"},
        {{path, "--json", "--current", "0:3"}, 1, "no block 0:3"},
        {{dir_.filePath("missing.vtr"), "--json"}, 1, "missing.vtr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const PlotRun r = plot(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

}  // namespace
