#include "items_RecordingDocument.h"

#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CObListEx.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace voltaro {
namespace {

using testing::Notification;
using testing::RecordingDocument;
using testing::SilentView;

// A block that counts its destruction, to see who destroys what.
class WatchedBlock : public CDataBlock {
public:
    explicit WatchedBlock(int& destroyed) : destroyed_(destroyed) {}
    ~WatchedBlock() override { ++destroyed_; }

private:
    int& destroyed_;
};

class SessionTest : public ::testing::Test {
protected:
    CDataBlock* addBlock(CDataModule& session, const std::string& name) {
        CDataBlock* block = session.AddBlock(std::make_unique<CDataBlock>());
        block->m_strName = name;
        return block;
    }
    static std::vector<std::string> names(const CDataModule& session) {
        std::vector<std::string> n;
        for (const CDataBlock* b : session.m_blocks)
            n.push_back(b->m_strName);
        return n;
    }
    RecordingDocument doc;
};

TEST_F(SessionTest, TheFifthSessionOfARunIsSession5WhateverBecameOfTheOthers) {
    {
        CDataModule first(&doc);
        EXPECT_EQ(first.m_strName, "Session1");
    }
    // Sessions read from a file take a number too, even though their names are
    // then replaced by the stored ones.
    auto loaded = std::make_unique<CDataModule>(&doc);
    loaded->SetName("From file", false, nullptr);
    auto third = std::make_unique<CDataModule>(&doc);
    auto fourth = std::make_unique<CDataModule>(&doc);
    loaded.reset();
    third.reset();
    fourth.reset();
    CDataModule fifth(&doc);
    EXPECT_EQ(fifth.m_strName, "Session5");
    EXPECT_EQ(doc.environment.flags.nSessionCounter, 5);
}

TEST_F(SessionTest, EachEnvironmentCountsItsOwnSessionsAndASessionWithoutOneCountsNothing) {
    RecordingDocument other;
    CDataModule a1(&doc);
    CDataModule b1(&other);
    CDataModule a2(&doc);
    CDataModule loose(nullptr);
    CDataModule b2(&other);
    EXPECT_EQ(a1.m_strName, "Session1");
    EXPECT_EQ(a2.m_strName, "Session2");
    EXPECT_EQ(b1.m_strName, "Session1");
    EXPECT_EQ(b2.m_strName, "Session2");
    EXPECT_EQ(loose.m_strName, "Session0");
    EXPECT_EQ(doc.environment.flags.nSessionCounter, 2);
    EXPECT_EQ(other.environment.flags.nSessionCounter, 2);
}

TEST_F(SessionTest, NewSessionIsEmptyOwnsItsBlocksAndHasNoParent) {
    int destroyed = 0;
    {
        CDataModule session(&doc);
        EXPECT_TRUE(session.m_blocks.IsEmpty());
        EXPECT_EQ(session.m_nCycleBlocks, 0);
        EXPECT_EQ(session.m_pParent, nullptr);
        EXPECT_EQ(session.GetMenuIndex(), 1);
        CDataBlock* block = session.AddBlock(std::make_unique<WatchedBlock>(destroyed));
        EXPECT_EQ(block->GetSession(), &session);
    }
    EXPECT_EQ(destroyed, 1) << "a session destroys its blocks";
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_FALSE(doc.modified);
}

TEST_F(SessionTest, SetNameNotifiesOtherViewsOnlyWhenAskedButAlwaysMarksModified) {
    SilentView tree;
    CDataModule session(&doc);
    session.SetName("Charge", false, &tree);
    EXPECT_EQ(session.GetName(), "Charge");
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_TRUE(doc.modified);

    doc.modified = false;
    session.SetName("Discharge", true, &tree);
    EXPECT_EQ(doc.notifications,
              (std::vector<Notification>{{&tree, HINT_SESSION_CHANGED, &session}}));
    EXPECT_TRUE(doc.modified);
}

TEST_F(SessionTest, ImageIndexFollowsTheOnlinePhaseOfTheOnlineSessionOnly) {
    CDataModule online(&doc);
    CDataModule other(&doc);
    EXPECT_EQ(online.GetImageIndex(), 1);
    doc.onlineSession = &online;
    for (int phase = 0; phase <= 3; ++phase) {
        doc.onlinePhase = phase;
        EXPECT_EQ(online.GetImageIndex(), 3 + phase);
        EXPECT_EQ(other.GetImageIndex(), 1);
    }
    CDataModule detached(nullptr);
    EXPECT_EQ(detached.GetImageIndex(), 1);
}

TEST_F(SessionTest, RemoveBlockNotifiesAroundTheRemovalAndDestroysOrHandsOver) {
    SilentView tree;
    CDataModule session(&doc);
    int destroyed = 0;
    CDataBlock* a = session.AddBlock(std::make_unique<WatchedBlock>(destroyed));
    CDataBlock* b = session.AddBlock(std::make_unique<WatchedBlock>(destroyed));
    CDataBlock* c = session.AddBlock(std::make_unique<WatchedBlock>(destroyed));
    b->m_strName = "b";

    std::unique_ptr<CDataBlock> taken;
    EXPECT_TRUE(session.RemoveBlock(a, false, true, &tree, &taken));
    EXPECT_EQ(doc.notifications, (std::vector<Notification>{{&tree, HINT_BLOCK_REMOVING, a},
                                                            {&tree, HINT_BLOCK_REMOVED, a}}));
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(taken.get(), a) << "handed over, not copied";
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(a->GetSession(), nullptr);

    doc.notifications.clear();
    doc.modified = false;
    EXPECT_FALSE(session.RemoveBlock(a, true, true, nullptr)) << "not in the session any more";
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(destroyed, 0);

    EXPECT_TRUE(session.RemoveBlock(c, true, false, nullptr));
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_EQ(destroyed, 1) << "the delete flag destroys it";
    EXPECT_EQ(names(session), std::vector<std::string>{"b"});
    // Without the delete flag and without a taker nothing could hold it.
    EXPECT_TRUE(session.RemoveBlock(b, false, false, nullptr));
    EXPECT_EQ(destroyed, 2);
    EXPECT_TRUE(session.m_blocks.IsEmpty());
    taken.reset();
    EXPECT_EQ(destroyed, 3);
}

struct MoveCase {
    const char* what;
    const char* insertAfter;  // "target" = the target session, "" = none, else a block name
    std::vector<std::string> expectedTarget;
};

class MoveBlockTest : public SessionTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveBlockTest, LandsWhereTheInsertionPointSays) {
    const MoveCase& c = GetParam();
    CDataModule from(&doc);
    CDataModule target(&doc);
    CDataBlock* moved = addBlock(from, "m");
    addBlock(from, "stays");
    addBlock(target, "x");
    addBlock(target, "y");
    addBlock(target, "z");
    CViewTreeItem* point = nullptr;
    const std::string where = c.insertAfter;
    if (where == "target") {
        point = &target;
    } else if (where == "other") {
        point = &from;
    } else {
        for (CDataBlock* b : target.m_blocks) {
            if (b->m_strName == where)
                point = b;
        }
    }
    SilentView tree;
    const std::size_t samples = moved->m_samples.size();
    EXPECT_TRUE(target.MoveBlock(moved, point, true, &tree));
    EXPECT_EQ(names(target), c.expectedTarget) << c.what;
    EXPECT_TRUE(target.m_blocks.Contains(moved)) << "the same block, not a copy";
    EXPECT_EQ(moved->m_samples.size(), samples);
    EXPECT_EQ(names(from), std::vector<std::string>{"stays"});
    EXPECT_EQ(moved->m_pParent, &target);
    EXPECT_EQ(doc.notifications, (std::vector<Notification>{{&tree, HINT_BLOCK_MOVING, moved},
                                                            {&tree, HINT_BLOCK_MOVED, moved}}));
    EXPECT_TRUE(doc.modified);
}

INSTANTIATE_TEST_SUITE_P(
    Items, MoveBlockTest,
    ::testing::Values(MoveCase{"onto the session: head", "target", {"m", "x", "y", "z"}},
                      MoveCase{"after the first block", "x", {"x", "m", "y", "z"}},
                      MoveCase{"after the last block", "z", {"x", "y", "z", "m"}},
                      MoveCase{"no insertion point: tail", "", {"x", "y", "z", "m"}},
                      MoveCase{"another session: tail", "other", {"x", "y", "z", "m"}}));

TEST_F(SessionTest, MoveBlockWithinTheSessionReorders) {
    CDataModule session(&doc);
    CDataBlock* a = addBlock(session, "a");
    CDataBlock* b = addBlock(session, "b");
    addBlock(session, "c");
    EXPECT_TRUE(session.MoveBlock(a, session.m_blocks.GetTail(), false, nullptr));
    EXPECT_EQ(names(session), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_TRUE(session.MoveBlock(a, &session, false, nullptr));
    EXPECT_EQ(names(session), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(doc.notifications.empty()) << "no notifications without the update flag";

    doc.modified = false;
    EXPECT_TRUE(session.MoveBlock(b, b, true, nullptr)) << "onto itself: nothing to do";
    EXPECT_EQ(names(session), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_FALSE(doc.modified);
}

TEST_F(SessionTest, MoveBlockNeedsABlockThatASessionHolds) {
    CDataModule target(&doc);
    CDataBlock loose;
    EXPECT_FALSE(target.MoveBlock(&loose, &target, true, nullptr));
    EXPECT_TRUE(target.m_blocks.IsEmpty());
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_FALSE(doc.modified);
}

// Counts live objects, to see who destroys what.
struct Counted {
    explicit Counted(int& live) : live_(live) { ++live_; }
    ~Counted() { --live_; }
    int& live_;
};

TEST(CObListEx, OwnsItsObjectsAndHandsThemOverWhenRemoved) {
    int live = 0;
    std::unique_ptr<Counted> taken;
    {
        CObListEx<Counted> list;
        Counted* a = list.AddTail(std::make_unique<Counted>(live));
        Counted* c = list.AddTail(std::make_unique<Counted>(live));
        Counted* b = list.InsertAfter(a, std::make_unique<Counted>(live));
        Counted* head = list.AddHead(std::make_unique<Counted>(live));
        EXPECT_EQ(live, 4);
        EXPECT_EQ((std::vector<Counted*>(list.begin(), list.end())),
                  (std::vector<Counted*>{head, a, b, c}));
        taken = list.Remove(b);
        EXPECT_EQ(taken.get(), b);
        EXPECT_EQ(list.Remove(b), nullptr) << "not in the list any more";
        EXPECT_EQ(list.Find(b), -1);
        EXPECT_EQ(live, 4);
        list.RemoveHead();  // nobody takes it
        EXPECT_EQ(live, 3);
        EXPECT_EQ(list.GetHead(), a);
    }
    EXPECT_EQ(live, 1) << "the list destroyed what it still held";
    taken.reset();
    EXPECT_EQ(live, 0);
}

}  // namespace
}  // namespace voltaro
