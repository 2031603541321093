#include "platform/core/Prompts.h"

namespace platform {

Prompts::~Prompts() = default;

void Prompts::error(const QString& text, const QString& title) {
    message({Icon::Error, title, text, Button::Ok, Button::Ok});
}

void Prompts::warning(const QString& text, const QString& title) {
    message({Icon::Warning, title, text, Button::Ok, Button::Ok});
}

void Prompts::information(const QString& text, const QString& title) {
    message({Icon::Information, title, text, Button::Ok, Button::Ok});
}

Button Prompts::askYesNo(const QString& text, const QString& title, Icon icon) {
    return message({icon, title, text, Button::Yes | Button::No, Button::Yes});
}

Button Prompts::askYesNoCancel(const QString& text, const QString& title, Icon icon) {
    return message({icon, title, text, Button::Yes | Button::No | Button::Cancel, Button::Yes});
}

Button Prompts::askYesNoCancelYesToAll(const QString& text, const QString& title, Icon icon) {
    return message({icon, title, text, Button::Yes | Button::No | Button::Cancel | Button::YesToAll,
                    Button::Yes});
}

QString qtFilterFromPairs(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "*.*" means every file on Windows; Qt spells that "*".
        QStringList list = patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString& p : list)
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        filters << QStringLiteral("%1 (%2)").arg(parts[i], list.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace platform
