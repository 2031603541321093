#pragma once
// A document for item tests: records every view notification and the modified
// mark, lets a test choose the online session, and has an item environment of
// its own for the test to fill in.

#include "voltaro/model/CDataModule.h"
#include "voltaro/model/ItemDocument.h"
#include "voltaro/model/ItemEnvironment.h"

#include <gtest/gtest.h>

#include <vector>

namespace voltaro::testing {

struct Notification {
    DocumentView* pSender;
    int lHint;
    CViewTreeItem* pItem;
    bool operator==(const Notification&) const = default;
};

inline void PrintTo(const Notification& n, std::ostream* os) {
    *os << "{hint " << n.lHint << ", item " << n.pItem << ", sender " << n.pSender << "}";
}

class RecordingDocument : public ItemDocument {
public:
    void UpdateAllViews(DocumentView* pSender, int lHint, CViewTreeItem* pHint) override {
        notifications.push_back({pSender, lHint, pHint});
    }
    void SetModifiedFlag(bool bModified) override { modified = bModified; }
    bool IsModified() const override { return modified; }
    CDataModule* GetOnlineSession() const override { return onlineSession; }
    int GetOnlinePhase() const override { return onlinePhase; }
    ItemEnvironment* GetEnvironment() const override { return &environment; }

    std::vector<int> hints() const {
        std::vector<int> h;
        for (const Notification& n : notifications)
            h.push_back(n.lHint);
        return h;
    }

    std::vector<Notification> notifications;
    bool modified = false;
    CDataModule* onlineSession = nullptr;
    int onlinePhase = 0;
    mutable ItemEnvironment environment;
};

// A view pointer for sender arguments; never called.
class SilentView : public DocumentView {
public:
    void OnUpdate(DocumentView*, int, CViewTreeItem*) override {}
};

}  // namespace voltaro::testing
