#include "platform/settings/ui/SettingsWidgets.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Clipboard, CopiedTextArrivesAsPlainText) {
    const QString text = QString::fromUtf8("T1 = 12.5 s\tU = 7,2 V\r\nčárka");
    ASSERT_TRUE(CopyTextToClipboard(text));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
    ASSERT_TRUE(CopyTextToClipboard(QStringLiteral("second")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("second"));
}

class ComboExchange : public ::testing::Test {
protected:
    void SetUp() override {
        combo.addItem(QStringLiteral("COM1"), 0);
        combo.addItem(QStringLiteral("COM3"), 2);
        combo.addItem(QStringLiteral("no data"));
        combo.addItem(QStringLiteral("COM3 again"), 2);
        combo.addItem(QStringLiteral("COM9"), 8);
    }
    QComboBox combo;
};

TEST_F(ComboExchange, WritingSelectsTheLastEntryWithTheNumber) {
    const struct {
        int value;
        int index;
    } cases[] = {{2, 3}, {8, 4}, {0, 0}, {5, -1}, {-1, -1}};
    for (const auto& c : cases) {
        combo.setCurrentIndex(1);
        int value = c.value;
        ExchangeComboItemData(combo, false, value);
        EXPECT_EQ(combo.currentIndex(), c.index) << c.value;
        EXPECT_EQ(value, c.value) << "writing leaves the variable alone";
    }
}

TEST_F(ComboExchange, ReadingGivesTheSelectedEntrysNumberOrZero) {
    const struct {
        int index;
        int value;
    } cases[] = {{4, 8}, {1, 2}, {2, 0}, {-1, 0}};
    for (const auto& c : cases) {
        combo.setCurrentIndex(c.index);
        int value = 77;
        ExchangeComboItemData(combo, true, value);
        EXPECT_EQ(value, c.value) << c.index;
    }
}

}  // namespace
}  // namespace platform
