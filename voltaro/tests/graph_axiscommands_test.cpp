// The document's show-axis commands: toggling, the last shown quantity, the hint and
// the enable rule.
#include "voltaro/graph/GraphAxisCommands.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/model/ViewHints.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace voltaro;

constexpr int kU = 0;  // quantity index of U

class HintRecorder : public DocumentView {
public:
    void OnUpdate(DocumentView*, int lHint, CViewTreeItem*) override { hints.push_back(lHint); }
    std::vector<int> hints;
};

// "UIC" style: the letters of the shown quantities.
std::string shown(const GraphSettings& g) {
    std::string out;
    for (int q = 0; q < GraphSettings::kAxisCount; ++q) {
        if (g.m_axes[static_cast<std::size_t>(q)].shown)
            out += "UICER"[q];
    }
    return out;
}

void setShown(GraphSettings& g, const std::string& letters) {
    for (int q = 0; q < GraphSettings::kAxisCount; ++q)
        g.m_axes[static_cast<std::size_t>(q)].shown =
            letters.find("UICER"[q]) != std::string::npos ? 1 : 0;
}

TEST(GraphAxisCommands, ToggleAQuantityButNeverTheLastOneShown) {
    struct Case {
        const char* before;
        unsigned command;
        const char* after;
    };
    const Case cases[] = {
        {"UIC", ID_SHOW_AXIS_U, "IC"},       {"UIC", ID_SHOW_AXIS_R, "UICR"},
        {"UIC", ID_SHOW_AXIS_U + 3, "UICE"}, {"U", ID_SHOW_AXIS_U, "U"},
        {"R", ID_SHOW_AXIS_R, "R"},          {"CR", ID_SHOW_AXIS_R, "C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " " + std::to_string(c.command));
        CMainDoc doc(true);
        HintRecorder view;
        doc.AddView(&view);
        setShown(doc.m_graphSettings, c.before);
        EXPECT_TRUE(OnShowAxisCommand(doc, c.command));
        EXPECT_EQ(shown(doc.m_graphSettings), c.after);
        EXPECT_EQ(view.hints, std::vector<int>{HINT_AXES});
        EXPECT_FALSE(doc.IsModified());
        doc.RemoveView(&view);
    }

    CMainDoc doc(true);
    const GraphSettings before = doc.m_graphSettings;
    EXPECT_FALSE(OnShowAxisCommand(doc, ID_SHOW_AXIS_U - 1));
    EXPECT_FALSE(OnShowAxisCommand(doc, ID_SHOW_AXIS_R + 1));
    EXPECT_EQ(doc.m_graphSettings, before);
}

TEST(GraphAxisCommands, DisabledWhileOnTheRightAgainstAHiddenQuantity) {
    struct Case {
        const char* what;
        const char* shownLetters;
        int right, reference;  // for I
        bool checked, enabled;
    };
    const Case cases[] = {
        {"left-hand quantity", "UIC", 0, 0, true, true},
        {"right against a shown quantity", "UIC", 1, kU, true, true},
        {"right against a hidden quantity", "IC", 1, kU, true, false},
        {"hidden, right against a hidden quantity", "C", 1, kU, false, false},
        {"hidden on the left", "UC", 0, kU, false, true},
        {"reference out of range", "UIC", 1, 9, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GraphSettings g;
        setShown(g, c.shownLetters);
        g.m_axes[1].right = c.right;
        g.m_axes[1].reference = c.reference;
        CommandState state;
        ASSERT_TRUE(OnUpdateShowAxisCommand(g, ID_SHOW_AXIS_U + 1, state));
        EXPECT_EQ(state.bChecked, c.checked);
        EXPECT_EQ(state.bEnabled, c.enabled);
    }
    CommandState state;
    EXPECT_FALSE(OnUpdateShowAxisCommand(GraphSettings(), ID_SHOW_AXIS_R + 1, state));
}

}  // namespace
