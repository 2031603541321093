#include "platform/testing/FileBytes.h"

#include <QFile>

namespace platform::testing {

std::optional<std::string> readFileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

bool writeFileBytes(const QString& path, std::string_view bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    return f.write(bytes.data(), size) == size;
}

}  // namespace platform::testing
