#include "platform/settings/ui/SettingsWidgets.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>

namespace platform {

bool CopyTextToClipboard(const QString& text) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text, QClipboard::Clipboard);
    return clipboard->text(QClipboard::Clipboard) == text;
}

void ExchangeComboItemData(QComboBox& combo, bool bSaveAndValidate, int& value) {
    if (bSaveAndValidate) {
        const int index = combo.currentIndex();
        value = index < 0 ? 0 : combo.itemData(index).toInt();
        return;
    }
    int found = -1;
    for (int i = 0; i < combo.count(); ++i) {
        const QVariant data = combo.itemData(i);
        if (data.isValid() && data.toInt() == value)
            found = i;
    }
    combo.setCurrentIndex(found);
}

}  // namespace platform
