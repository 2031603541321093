#include "items_RecordingDocument.h"

#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/Renumbering.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace voltaro {
namespace {

using testing::RecordingDocument;

class RenumberTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.environment.requestRefresh = [this] { ++refreshes; };
    }
    CDataModule* addSession(const std::string& name) {
        sessions.push_back(std::make_unique<CDataModule>(&doc));
        sessions.back()->m_strName = name;
        return sessions.back().get();
    }
    static CDataBlock* addBlock(CDataModule* session, const std::string& name) {
        CDataBlock* block = session->AddBlock(std::make_unique<CDataBlock>());
        block->m_strName = name;
        return block;
    }
    static std::vector<std::string> blockNames(const CDataModule* session) {
        std::vector<std::string> names;
        for (const CDataBlock* b : session->m_blocks)
            names.push_back(b->m_strName);
        return names;
    }

    RecordingDocument doc;
    std::vector<std::unique_ptr<CDataModule>> sessions;
    int refreshes = 0;
};

TEST_F(RenumberTest, SessionsEndingInADigitGetTheirPositionOthersKeepTheirNames) {
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"Session1", "Session 1"},  // 1
        {"Charge12", "Charge 2"},   // 2
        {"Test", "Test"},           // 3: no digit at the end, keeps its name
        {"Cycle ", "Cycle "},       // 4: ends in a blank, keeps its name
        {"", "Session 5"},          // 5: empty
        {"2024", "Session 6"},      // 6: only digits
        {"Run 7 \t9", "Run 7"},     // 7: digits and blanks stripped from the end only
        {"A\t3", "A 8"},            // 8
    };
    std::vector<CDataModule*> chosen;
    for (const auto& c : cases)
        chosen.push_back(addSession(c.before));
    RenumberSessions(doc, chosen);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(chosen[i]->m_strName, cases[i].after) << "was \"" << cases[i].before << '"';
    EXPECT_EQ(refreshes, 1);
}

TEST_F(RenumberTest, SessionRenamesGoThroughSetNameWithNotification) {
    CDataModule* a = addSession("Charge12");
    CDataModule* b = addSession("Test");
    RenumberSessions(doc, {b, a});  // b uses up number 1
    EXPECT_EQ(a->m_strName, "Charge 2");
    EXPECT_EQ(doc.hints(), std::vector<int>{HINT_SESSION_CHANGED});
    EXPECT_TRUE(doc.modified);
}

TEST_F(RenumberTest, BlocksGetTheirPositionInFrontOfTheRestOfTheName) {
    CDataModule* s = addSession("S");
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"7 NiCd D", "1 NiCd D"},
        {"NiCd C2", "2 NiCd C2"},
        {"12\t 3 NiMH1 C", "3 NiMH1 C"},
        {"", "4 "},
        {"  5", "5 "},
    };
    for (const auto& c : cases)
        addBlock(s, c.before);
    CDataBlock* auto1 = s->m_blocks.GetHead();
    auto1->m_bAutoNamed = true;
    RenumberBlocks(doc, {s});
    std::vector<std::string> expected;
    for (const auto& c : cases)
        expected.emplace_back(c.after);
    EXPECT_EQ(blockNames(s), expected);
    EXPECT_FALSE(auto1->m_bAutoNamed) << "renamed through SetName";
    EXPECT_EQ(doc.hints(), std::vector<int>(std::size(cases), HINT_BLOCK_CHANGED));
    EXPECT_EQ(refreshes, 1);
}

TEST_F(RenumberTest, ASelectedBlockStandsForItsSessionAndRepeatsChangeNothing) {
    CDataModule* first = addSession("First");
    CDataModule* second = addSession("Second");
    CDataModule* untouched = addSession("Untouched");
    addBlock(first, "9 a");
    CDataBlock* b = addBlock(first, "b");
    CDataBlock* c = addBlock(second, "3 c");
    addBlock(untouched, "7 z");

    RenumberBlocks(doc, {b, first, c});
    EXPECT_EQ(blockNames(first), (std::vector<std::string>{"1 a", "2 b"}));
    EXPECT_EQ(blockNames(second), std::vector<std::string>{"1 c"});
    EXPECT_EQ(blockNames(untouched), std::vector<std::string>{"7 z"});
}

}  // namespace
}  // namespace voltaro
