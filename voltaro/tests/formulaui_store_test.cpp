// What the formula dialog keeps outside itself: the text rules of the edit and
// of the recently-used entries, the settings values, the document operation,
// and a project block read as the evaluator's sample source.
#include "platform/settings/SettingsStore.h"
#include "voltaro/graph/BlockSampleSource.h"
#include "voltaro/graph/UserCalculations.h"
#include "voltaro/graph/UserFormulaStore.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace voltaro;

struct TextCase {
    const char* in;
    const char* out;
};

TEST(FormulaText, EditShowsOneStatementPerLine) {
    const TextCase cases[] = {
        {"", ""},
        {"U1*I1", "U1*I1"},
        {"a=2; a*3", "a=2;\na*3"},
        {"a=2;b=3;a*b", "a=2;\nb=3;\na*b"},
        {"a=2;\tb", "a=2;\nb"},   // the tab became a blank, then the blank went
        {"a=2;  b", "a=2;\n b"},  // one blank only
        {"x\ty", "x y"},
        {"a=1;", "a=1;\n"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(FormulaForEdit(c.in), c.out) << c.in;
}

TEST(FormulaText, OkJoinsTheLines) {
    const TextCase cases[] = {
        {"a=2;\nb", "a=2; b"}, {"a=2;\r\nb", "a=2; b"}, {"a=2;\rb", "a=2; b"},  {"x\ty", "x y"},
        {"\n\n", "  "},        {"U1 * I1", "U1 * I1"},  {"a\r\n\r\nb", "a  b"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(FormulaFromEdit(c.in), c.out) << c.in;
    // Through the edit and back, a formula keeps its meaning and its statements.
    EXPECT_EQ(FormulaFromEdit(FormulaForEdit("a=2;b=a*3;b")), "a=2; b=a*3; b");
}

TEST(FormulaText, RecentEntries) {
    EXPECT_EQ(RecentFormulaEntry("Power", "U1*I1"), "Power:\tU1*I1");
    EXPECT_EQ(RecentFormulaEntry("", "dC"), "Untitled:\tdC");

    struct {
        const char* entry;
        bool hasTitle;
        const char* title;
        const char* formula;
    } cases[] = {
        {"Power:\tU1*I1", true, "Power", "U1*I1"},
        {"Ratio::\ta:b\tc", true, "Ratio", "a:b\tc"},  // the first tab splits
        {":\tx", true, "", "x"},
        {"U1*I1", false, "", "U1*I1"},
        {"Title:\t", true, "Title", ""},
    };
    for (const auto& c : cases) {
        const RecentFormulaParts parts = SplitRecentFormulaEntry(c.entry);
        ASSERT_EQ(parts.title.has_value(), c.hasTitle) << c.entry;
        if (c.hasTitle) {
            EXPECT_EQ(*parts.title, c.title) << c.entry;
        }
        EXPECT_EQ(parts.formula, c.formula) << c.entry;
    }
}

class FormulaSettings : public ::testing::Test {
protected:
    platform::MemorySettingsBackend backend;
    platform::SettingsKey root = platform::SettingsKey::Root(backend);

    std::optional<platform::SettingsValue> stored(const char* path, const char* name) {
        const auto levels = platform::SplitKeyPath(path);
        return levels ? backend.value(*levels, name) : std::nullopt;
    }
};

TEST_F(FormulaSettings, RecentListRoundTripsWithItsOrder) {
    EXPECT_TRUE(ReadRecentFormulas(&root).empty());
    const std::vector<std::string> list = {"b:\tx", "A:\ty*2", "Untitled:\tdC"};
    ASSERT_TRUE(WriteRecentFormulas(&root, list));
    EXPECT_EQ(ReadRecentFormulas(&root), list);
    const auto v = stored("Software\nTarnwell\nVoltaro\nOptions", "MRU_Formulas_User");
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(ReadRecentFormulas(nullptr), std::vector<std::string>{});
    EXPECT_FALSE(WriteRecentFormulas(nullptr, list));
}

TEST_F(FormulaSettings, DialogRectangleIsSixteenBytes) {
    EXPECT_FALSE(ReadFormulaDialogRect(&root).has_value());
    ASSERT_TRUE(WriteFormulaDialogRect(&root, {-20, 30, 600, 530}));
    const auto v = stored("Software\nTarnwell\nVoltaro\nMainWnd", "FormulaDlgPos");
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->type, platform::kTypeBinary);
    EXPECT_EQ(v->data,
              std::string("\xEC\xFF\xFF\xFF\x1E\x00\x00\x00\x58\x02\x00\x00\x12\x02\x00\x00", 16));
    const auto rect = ReadFormulaDialogRect(&root);
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(*rect, (DialogRect{-20, 30, 600, 530}));
}

TEST_F(FormulaSettings, UnusableRectanglesAreIgnored) {
    const auto key = platform::CreateKeyPath(kMainWndKeyPath, root);
    ASSERT_TRUE(key);
    const unsigned char shortValue[8] = {0, 0, 0, 0, 10, 0, 0, 0};
    ASSERT_TRUE(platform::WriteBinary(*key, "FormulaDlgPos", shortValue, sizeof shortValue));
    EXPECT_FALSE(ReadFormulaDialogRect(&root).has_value());
    ASSERT_TRUE(WriteFormulaDialogRect(&root, {100, 100, 50, 400}));  // right before left
    EXPECT_FALSE(ReadFormulaDialogRect(&root).has_value());
    ASSERT_TRUE(platform::WriteString(*key, "FormulaDlgPos", "0 0 100 100"));
    EXPECT_FALSE(ReadFormulaDialogRect(&root).has_value());
}

class HintRecorder : public DocumentView {
public:
    void OnUpdate(DocumentView*, int lHint, CViewTreeItem*) override { hints.push_back(lHint); }
    std::vector<int> hints;
};

TEST_F(FormulaSettings, DocumentTakesTheFormulaAndStoresDefaults) {
    DocumentServices services;
    services.settingsRoot = &root;
    CMainDoc doc(false, services);
    HintRecorder view;
    doc.AddView(&view);

    SetUserFormula(doc, 2, "Power", "U1*I1", true);
    EXPECT_EQ(doc.m_strFormula2, "U1*I1");
    EXPECT_EQ(doc.m_strTitle2, "Power");
    EXPECT_EQ(doc.m_strFormula1, "");
    EXPECT_EQ(view.hints, std::vector<int>{HINT_FORMULAS});
    EXPECT_EQ(UserFormula(doc, 2), "U1*I1");
    EXPECT_EQ(UserFormulaTitle(doc, 2), "Power");

    SetUserFormula(doc, 1, "Charge", "dC*1000", false);
    EXPECT_EQ(doc.m_strFormula1, "dC*1000");
    EXPECT_FALSE(stored(CMainDoc::kOptionsKeyPath, "Formula_User1").has_value());

    // The next document (the next program start) reads the defaults.
    CMainDoc next(false, services);
    EXPECT_EQ(next.m_strFormula2, "U1*I1");
    EXPECT_EQ(next.m_strTitle2, "Power");
    EXPECT_EQ(next.m_strFormula1, "");
    doc.RemoveView(&view);
}

TEST(BlockSource, ReadsTheBlocksSamples) {
    CDataModule session(nullptr);
    session.m_strName = "Session 1";
    CDataBlock* block = session.AddBlock(std::make_unique<CDataBlock>());
    block->m_strName = "NiCd C";
    for (int k = 0; k <= 60; k += 10) {
        DataSample s;
        s.T = static_cast<float>(k);
        s.U = 12.0f;
        s.I = 2.0f;
        block->AppendSample(s, "line", false);
    }
    const BlockSampleSource source(*block);
    EXPECT_EQ(source.sampleCount(), 7u);
    EXPECT_EQ(source.sessionName(), "Session 1");
    EXPECT_EQ(source.blockName(), "NiCd C");
    EXPECT_DOUBLE_EQ(source.sampleAt(3).T, 30.0);
    EXPECT_DOUBLE_EQ(source.sampleAt(6).C, block->m_samples[6].C);
    EXPECT_EQ(source.indexAtTime(25.0), 3u);
    EXPECT_EQ(source.indexAtTime(1000.0), 6u);
    EXPECT_EQ(source.indexAtPercent(50.0), 3u);
    std::vector<SampleValues> chunk(4);
    EXPECT_EQ(source.readSamples(5, chunk), 2u);
    EXPECT_DOUBLE_EQ(chunk[1].T, 60.0);

    // The user calculations over it: 2 A for 60 s is 120 A s.
    UserCalculations calc;
    calc.setInterval(0.0, 60.0);
    UserFormulas formulas{"int_dt(I, T1, T2)", "dT", "", ""};
    const UserCalcDisplay shown = calc.RecalcUserCalculations(&formulas, &source, false);
    EXPECT_EQ(shown.result1, "120");
    EXPECT_EQ(shown.result2, "60");
    EXPECT_EQ(shown.sessionName, "Session 1");
}

}  // namespace
