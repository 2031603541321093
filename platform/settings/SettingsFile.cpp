// The user's settings file in the REGEDIT4 text form.

#include "platform/core/HexDigit.h"
#include "platform/settings/SettingsStore.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <charconv>

namespace platform {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";

const char kHex[] = "0123456789abcdef";

void appendHexBytes(std::string& out, std::string_view data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i)
            out.push_back(',');
        const auto b = static_cast<unsigned char>(data[i]);
        out.push_back(kHex[b >> 4]);
        out.push_back(kHex[b & 0x0F]);
    }
}

void appendQuoted(std::string& out, std::string_view s) {
    out.push_back('"');
    for (char c : s) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
}

// A string value can be written as quoted text when it is one NUL-terminated
// line of printable characters; anything else is written as its bytes.
bool isPlainText(std::string_view data) {
    if (data.empty() || data.back() != '\0')
        return false;
    data.remove_suffix(1);
    for (char c : data) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            return false;
    }
    return true;
}

void appendValue(std::string& out, const std::string& name, const SettingsValue& v) {
    if (name.empty())
        out.push_back('@');
    else
        appendQuoted(out, name);
    out.push_back('=');
    if (v.type == kTypeString && isPlainText(v.data)) {
        appendQuoted(out, std::string_view(v.data).substr(0, v.data.size() - 1));
    } else if (v.type == kTypeNumber && v.data.size() == 4) {
        out += "dword:";
        for (int i = 3; i >= 0; --i) {
            const auto b = static_cast<unsigned char>(v.data[static_cast<std::size_t>(i)]);
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 0x0F]);
        }
    } else {
        if (v.type == kTypeBinary) {
            out += "hex:";
        } else {
            char digits[16];
            const auto r = std::to_chars(digits, digits + sizeof digits, v.type, 16);
            out += "hex(";
            out.append(digits, r.ptr);
            out += "):";
        }
        appendHexBytes(out, v.data);
    }
    out += "\r\n";
}

void appendKey(std::string& out, const SettingsBackend& store, const KeyLevels& key) {
    const std::vector<std::string> values = store.valueNames(key);
    // Every key gets its section, so empty keys survive; the root only when it
    // has values of its own.
    if (!key.empty() || !values.empty()) {
        out.push_back('[');
        out += kRootName;
        for (const std::string& level : key) {
            out.push_back('\\');
            out += level;
        }
        out += "]\r\n";
        for (const std::string& name : values) {
            if (const auto v = store.value(key, name))
                appendValue(out, name, *v);
        }
        out += "\r\n";
    }
    for (const std::string& name : store.subKeyNames(key)) {
        KeyLevels child = key;
        child.push_back(name);
        appendKey(out, store, child);
    }
}

std::optional<std::string> parseHexBytes(std::string_view s) {
    std::string bytes;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
    };
    skipBlanks();
    if (i == s.size())
        return bytes;
    while (true) {
        skipBlanks();
        if (i + 2 > s.size())
            return std::nullopt;
        const int hi = platform::hexDigitValue(s[i]);
        const int lo = platform::hexDigitValue(s[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
        skipBlanks();
        if (i == s.size())
            return bytes;
        if (s[i] != ',')
            return std::nullopt;
        ++i;
    }
}

// A quoted text at the start of s; returns the text and how much of s it took.
std::optional<std::pair<std::string, std::size_t>> parseQuoted(std::string_view s) {
    if (s.empty() || s[0] != '"')
        return std::nullopt;
    std::string text;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\') {
            if (++i == s.size())
                return std::nullopt;
            text.push_back(s[i]);
        } else if (s[i] == '"') {
            return std::make_pair(std::move(text), i + 1);
        } else {
            text.push_back(s[i]);
        }
    }
    return std::nullopt;
}

std::optional<SettingsValue> parseValueData(std::string_view s) {
    if (!s.empty() && s[0] == '"') {
        auto q = parseQuoted(s);
        if (!q || q->second != s.size())
            return std::nullopt;
        q->first.push_back('\0');
        return SettingsValue{kTypeString, std::move(q->first)};
    }
    if (s.starts_with("dword:")) {
        s.remove_prefix(6);
        std::uint32_t u = 0;
        if (s.size() != 8)
            return std::nullopt;
        const auto r = std::from_chars(s.data(), s.data() + s.size(), u, 16);
        if (r.ec != std::errc() || r.ptr != s.data() + s.size())
            return std::nullopt;
        std::string data(4, '\0');
        for (int i = 0; i < 4; ++i)
            data[static_cast<std::size_t>(i)] = static_cast<char>((u >> (8 * i)) & 0xFF);
        return SettingsValue{kTypeNumber, std::move(data)};
    }
    std::uint32_t type = kTypeBinary;
    if (s.starts_with("hex(")) {
        s.remove_prefix(4);
        const auto r = std::from_chars(s.data(), s.data() + s.size(), type, 16);
        if (r.ec != std::errc() || r.ptr == s.data() || r.ptr + 1 >= s.data() + s.size() ||
            r.ptr[0] != ')' || r.ptr[1] != ':')
            return std::nullopt;
        s.remove_prefix(static_cast<std::size_t>(r.ptr - s.data()) + 2);
    } else if (s.starts_with("hex:")) {
        s.remove_prefix(4);
    } else {
        return std::nullopt;
    }
    auto bytes = parseHexBytes(s);
    if (!bytes)
        return std::nullopt;
    return SettingsValue{type, std::move(*bytes)};
}

std::optional<KeyLevels> parseSection(std::string_view s) {
    if (!s.starts_with(kRootName))
        return std::nullopt;
    s.remove_prefix(kRootName.size());
    KeyLevels levels;
    while (!s.empty()) {
        if (s[0] != '\\')
            return std::nullopt;
        s.remove_prefix(1);
        const std::size_t end = s.find('\\');
        const std::string_view level = s.substr(0, end);
        if (!SettingsBackend::isValidKeyName(level))
            return std::nullopt;
        levels.emplace_back(level);
        s.remove_prefix(end == std::string_view::npos ? s.size() : end);
    }
    return levels;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

}  // namespace

std::string FileSettingsBackend::toText(const SettingsBackend& store) {
    std::string out(kHeader);
    out += "\r\n\r\n";
    appendKey(out, store, {});
    return out;
}

bool FileSettingsBackend::fromText(std::string_view text, SettingsBackend& store, QString* error) {
    QStringList problems;
    std::optional<KeyLevels> current;
    bool headerSeen = false;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        // One logical line; a trailing backslash continues a hex list on the next.
        std::string line;
        const int firstLine = lineNumber + 1;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos)
                end = text.size();
            std::string_view part = trimmed(text.substr(pos, end - pos));
            pos = end + 1;
            ++lineNumber;
            line += part;
            const bool continued =
                !line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos;
            if (continued)
                line.pop_back();
            if (!continued)
                break;
        }
        const std::string_view s = line;
        auto problem = [&](const char* what) {
            problems << QCoreApplication::translate("Settings", "line %1: %2")
                            .arg(firstLine)
                            .arg(QCoreApplication::translate("Settings", what));
        };
        if (s.empty() || s[0] == ';')
            continue;
        if (!headerSeen) {
            headerSeen = true;
            if (s == kHeader)
                continue;
            problem("the file does not start with REGEDIT4");
        }
        if (s[0] == '[') {
            current.reset();
            if (s.back() != ']') {
                problem("unfinished key name");
                continue;
            }
            auto levels = parseSection(s.substr(1, s.size() - 2));
            if (!levels) {
                problem("bad key name");
                continue;
            }
            KeyLevels path;
            bool ok = true;
            for (const std::string& level : *levels) {
                path.push_back(level);
                ok = ok && store.createKey(path);
            }
            if (!ok) {
                problem("the key cannot be created");
                continue;
            }
            current = std::move(path);
            continue;
        }
        std::string name;
        std::size_t taken = 0;
        if (s[0] == '@') {
            taken = 1;
        } else if (auto q = parseQuoted(s)) {
            name = std::move(q->first);
            taken = q->second;
        } else {
            problem("not a value line");
            continue;
        }
        if (taken >= s.size() || s[taken] != '=') {
            problem("not a value line");
            continue;
        }
        auto value = parseValueData(s.substr(taken + 1));
        if (!value) {
            problem("bad value data");
            continue;
        }
        if (!current) {
            problem("value outside a key");
            continue;
        }
        if (!store.setValue(*current, name, std::move(*value)))
            problem("the value cannot be stored");
    }
    if (error)
        *error = problems.join(QLatin1Char('\n'));
    return problems.isEmpty();
}

FileSettingsBackend::WriteScheduler FileSettingsBackend::eventLoopScheduler(int delayMs) {
    return [delayMs](std::function<void()> write) {
        if (!QCoreApplication::instance() ||
            !QAbstractEventDispatcher::instance(QThread::currentThread())) {
            write();  // nothing would ever run a timer here
            return;
        }
        QTimer::singleShot(delayMs, std::move(write));
    };
}

FileSettingsBackend::FileSettingsBackend(const QString& path)
    : path_(path.isEmpty() ? defaultPath() : path),
      scheduler_(eventLoopScheduler()),
      self_(std::make_shared<FileSettingsBackend*>(this)) {
    load();
}

void FileSettingsBackend::setWriteScheduler(WriteScheduler scheduler) {
    scheduler_ = std::move(scheduler);
}

void FileSettingsBackend::changed() {
    if (loading_)
        return;
    dirty_ = true;
    if (writeScheduled_ || !scheduler_)
        return;
    writeScheduled_ = true;
    scheduler_([weak = std::weak_ptr<FileSettingsBackend*>(self_)] {
        if (const auto self = weak.lock()) {
            (*self)->writeScheduled_ = false;
            // A failure stays dirty: the next change, sync() or the end tries again.
            (*self)->sync();
        }
    });
}

FileSettingsBackend::~FileSettingsBackend() {
    sync();
}

QString FileSettingsBackend::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/settings.reg");
}

bool FileSettingsBackend::load(QString* error) {
    // What comes from the file is no change to write back.
    loading_ = true;
    const auto loaded = qScopeGuard([this] { loading_ = false; });
    clear();
    dirty_ = false;
    keepBackup_ = false;
    QFile file(path_);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        keepBackup_ = true;
        return false;
    }
    const QByteArray bytes = file.readAll();
    QString problems;
    const bool ok =
        fromText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), *this,
                 &problems);
    dirty_ = false;
    // What could not be read must not vanish with the next save.
    keepBackup_ = !ok;
    if (error)
        *error = problems;
    return ok;
}

bool FileSettingsBackend::sync(QString* error) {
    if (!dirty_)
        return true;
    const QFileInfo info(path_);
    if (!QDir().mkpath(info.absolutePath())) {
        if (error)
            *error = QCoreApplication::translate("Settings", "Cannot create the folder %1.")
                         .arg(info.absolutePath());
        return false;
    }
    if (keepBackup_ && info.exists()) {
        const QString backup = path_ + QStringLiteral(".bak");
        QFile::remove(backup);
        if (!QFile::copy(path_, backup)) {
            if (error)
                *error =
                    QCoreApplication::translate("Settings", "Cannot keep a copy of %1.").arg(path_);
            return false;
        }
        keepBackup_ = false;
    }
    const std::string text = toText(*this);
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    dirty_ = false;
    return true;
}

}  // namespace platform
