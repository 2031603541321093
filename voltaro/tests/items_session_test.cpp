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

using testing::ItemTest;
using testing::Notification;
using testing::RecordingDocument;
using testing::SilentView;

class SessionTest : public ItemTest {
protected:
    CDataBlock* addBlock(CDataModule& session, const std::string& name) {
        auto* block = new CDataBlock;
        block->m_strName = name;
        session.AddBlock(block);
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
    CDataModule::ResetSessionCounter();
    {
        CDataModule first(&doc);
        EXPECT_EQ(first.m_strName, "Session1");
    }
    // Sessions read from a file take a number too, even though their names are
    // then replaced by the stored ones.
    auto loaded = std::make_unique<CDataModule>(&doc);
    loaded->SetName("From file", false, nullptr);
    auto third = std::make_unique<CDataModule>(nullptr);
    auto fourth = std::make_unique<CDataModule>(&doc);
    loaded.reset();
    third.reset();
    fourth.reset();
    CDataModule fifth(&doc);
    EXPECT_EQ(fifth.m_strName, "Session5");
    EXPECT_EQ(CDataModule::LastSessionNumber(), 5);
}

TEST_F(SessionTest, NewSessionIsEmptyOwnsItsBlocksAndHasNoParent) {
    CDataModule session(&doc);
    EXPECT_TRUE(session.m_blocks.IsEmpty());
    EXPECT_TRUE(session.m_blocks.OwnsObjects());
    EXPECT_EQ(session.m_nCycleBlocks, 0);
    EXPECT_EQ(session.m_pParent, nullptr);
    EXPECT_EQ(session.GetMenuIndex(), 1);
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

TEST_F(SessionTest, RemoveBlockNotifiesAroundTheRemovalAndDeletesOnRequest) {
    SilentView tree;
    CDataModule session(&doc);
    CDataBlock* a = addBlock(session, "a");
    CDataBlock* b = addBlock(session, "b");

    EXPECT_TRUE(session.RemoveBlock(a, false, true, &tree));
    EXPECT_EQ(doc.notifications, (std::vector<Notification>{{&tree, HINT_BLOCK_REMOVING, a},
                                                            {&tree, HINT_BLOCK_REMOVED, a}}));
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(names(session), std::vector<std::string>{"b"});
    EXPECT_EQ(a->GetSession(), nullptr);
    std::unique_ptr<CDataBlock> kept(a);  // not deleted: ours now

    doc.notifications.clear();
    doc.modified = false;
    EXPECT_FALSE(session.RemoveBlock(a, true, true, nullptr)) << "not in the session any more";
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_FALSE(doc.modified);

    EXPECT_TRUE(session.RemoveBlock(b, true, false, nullptr));  // deleted (ASan checks)
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_TRUE(session.m_blocks.IsEmpty());
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
    EXPECT_TRUE(target.MoveBlock(moved, point, true, &tree));
    EXPECT_EQ(names(target), c.expectedTarget) << c.what;
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

// Counts live objects, to see who deletes what.
struct Counted {
    explicit Counted(int& live) : live_(live) { ++live_; }
    ~Counted() { --live_; }
    int& live_;
};

TEST(CObListEx, DeletesItsObjectsOnlyWhenItOwnsThem) {
    int live = 0;
    std::vector<std::unique_ptr<Counted>> keep;
    {
        CObListEx<Counted> borrowed(false);
        keep.push_back(std::make_unique<Counted>(live));
        borrowed.AddTail(keep.back().get());
    }
    EXPECT_EQ(live, 1);
    {
        CObListEx<Counted> owning(true);
        owning.AddTail(new Counted(live));
        owning.AddTail(new Counted(live));
        EXPECT_EQ(live, 3);
        Counted* taken = owning.GetHead();
        EXPECT_TRUE(owning.Remove(taken));
        EXPECT_FALSE(owning.Remove(taken));
        delete taken;
        EXPECT_EQ(live, 2);
    }
    EXPECT_EQ(live, 1);
}

TEST(CObListEx, KeepsOrderThroughInsertionsAndSwaps) {
    int a = 1, b = 2, c = 3, d = 4;
    CObListEx<int> list;
    list.AddTail(&b);
    list.AddHead(&a);
    list.InsertAfter(&b, &d);
    list.InsertAfter(&b, &c);
    ASSERT_EQ(list.GetCount(), 4u);
    std::vector<int> seen;
    for (int* p : list)
        seen.push_back(*p);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(list.Find(&c), 2);
    EXPECT_EQ(list.Find(nullptr), -1);

    CObListEx<int> other(true);
    list.swap(other);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(list.OwnsObjects());
    EXPECT_EQ(other.GetCount(), 4u);
    EXPECT_FALSE(other.OwnsObjects());
}

}  // namespace
}  // namespace voltaro
