#pragma once
// Small definition files written into a temporary folder, and a clock the tests
// move by hand.

#include "platform/core/Clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace voltaro::testing {

class RxpFolder {
public:
    RxpFolder() { EXPECT_TRUE(dir_.isValid()); }

    QString root() const { return dir_.path(); }
    QString path(const QString& relative) const { return dir_.filePath(relative); }

    // Writes the bytes (creating sub-folders); returns the full path.
    QString write(const QString& relative, std::string_view bytes) const {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile f(full);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << full.toStdString();
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return full;
    }

private:
    QTemporaryDir dir_;
};

// Milliseconds that pass only when a test says so.
struct ManualClock {
    std::shared_ptr<std::int64_t> now = std::make_shared<std::int64_t>(0);
    platform::Clock fn() const {
        return [n = now] { return *n; };
    }
    void advance(std::int64_t ms) const { *now += ms; }
    void set(std::int64_t ms) const { *now = ms; }
};

}  // namespace voltaro::testing
