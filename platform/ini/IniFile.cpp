#include "platform/ini/IniFile.h"

#include "platform/core/TextCodec.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace platform {
namespace {

std::string trimmed(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r'))
        --e;
    return s.substr(b, e - b);
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string bytes(const QString& s) {
    return TextCodec::system().fromUnicode(s);
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {
    load();
}

IniFile::~IniFile() {
    if (dirty_)
        save();
}

void IniFile::load() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray all = file.readAll();
    std::string current;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf('\n', start);
        if (end < 0)
            end = all.size();
        std::string raw(all.constData() + start, static_cast<size_t>(end - start));
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        start = end + 1;

        Line line{raw, {}, {}};
        const std::string t = trimmed(raw);
        if (t.size() >= 2 && t.front() == '[') {
            const size_t close = t.find(']');
            if (close != std::string::npos) {
                current = trimmed(t.substr(1, close - 1));
                line.section = current;
                // A section line carries an empty key; key lines carry their section
                // name in `section` only through `current` below.
            }
        } else if (!t.empty() && t.front() != ';') {
            const size_t eq = t.find('=');
            if (eq != std::string::npos && !current.empty())
                line.key = trimmed(t.substr(0, eq));
        }
        if (line.section.empty() && !line.key.empty())
            line.section = current;
        lines_.push_back(std::move(line));
    }
}

int IniFile::findKey(const std::string& section, const std::string& key) const {
    for (size_t i = 0; i < lines_.size(); ++i)
        if (!lines_[i].key.empty() && sameName(lines_[i].key, key) &&
            sameName(lines_[i].section, section))
            return static_cast<int>(i);
    return -1;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    return findKey(bytes(section), bytes(key)) >= 0;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    const int i = findKey(bytes(section), bytes(key));
    if (i < 0)
        return def;
    const std::string& raw = lines_[static_cast<size_t>(i)].raw;
    std::string value = trimmed(raw.substr(raw.find('=') + 1));
    // Windows drops one pair of enclosing double quotes when reading.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return TextCodec::system().toUnicode(value);
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    const QString text = readString(section, key, QString());
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? v : def;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::readFloat(const QString& section, const QString& key, double def) const {
    double v = 0;
    return parseFloat(readString(section, key, QString()), &v) ? v : def;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    const std::string s = bytes(section);
    const std::string k = bytes(key);
    const std::string line = k + "=" + bytes(value);
    const int i = findKey(s, k);
    if (i >= 0) {
        lines_[static_cast<size_t>(i)].raw = line;
    } else {
        // After the last key (or the header) of the section, or a new section at the end.
        int insertAt = -1;
        for (size_t j = 0; j < lines_.size(); ++j) {
            const Line& l = lines_[j];
            if (l.key.empty() && !l.section.empty()) {  // a section header
                if (sameName(l.section, s))
                    insertAt = static_cast<int>(j) + 1;
                else if (insertAt >= 0)
                    break;
            } else if (insertAt >= 0 && !trimmed(l.raw).empty()) {
                insertAt = static_cast<int>(j) + 1;
            }
        }
        if (insertAt < 0) {
            lines_.push_back({"[" + s + "]", s, {}});
            insertAt = static_cast<int>(lines_.size());
        }
        lines_.insert(lines_.begin() + insertAt, Line{line, s, k});
    }
    dirty_ = true;
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::writeFloat(const QString& section, const QString& key, double value) {
    writeString(section, key, formatFloat(value));
}

QString IniFile::formatFloat(double value) {
    QString text = QString::number(value, 'g', 15);
    return text.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

bool IniFile::parseFloat(const QString& text, double* value) {
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QString sep = QLocale::system().decimalPoint();
    // Only the user's separator counts, as when the value was written.
    if (sep != QLatin1String(".")) {
        if (t.contains(QLatin1Char('.')))
            return false;
        t.replace(sep, QStringLiteral("."));
    }
    const QByteArray latin = t.toLatin1();
    double v = 0;
    const auto [end, ec] = std::from_chars(latin.constData(), latin.constData() + latin.size(), v);
    if (ec != std::errc() || end != latin.constData() + latin.size() || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

bool IniFile::save() {
    QByteArray out;
    for (const Line& l : lines_) {
        out.append(l.raw.data(), static_cast<qsizetype>(l.raw.size()));
        out.append("\r\n");
    }
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        error_ = file.errorString();
        return false;
    }
    dirty_ = false;
    error_.clear();
    return true;
}

}  // namespace platform
