#include "platform/ini/IniFile.h"

#include "platform/core/TextCodec.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace platform {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

QString trimmed(const QString& s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && (s[b] == u' ' || s[b] == u'\t'))
        ++b;
    while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t' || s[e - 1] == u'\r'))
        --e;
    return s.mid(b, e - b);
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
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
    const QString text = all.startsWith(kUtf8Bom)
                             ? QString::fromUtf8(all.constData() + 3, all.size() - 3)
                             : TextCodec::system().toUnicode(std::string_view(
                                   all.constData(), static_cast<size_t>(all.size())));
    QString current;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QString raw = text.mid(start, end - start);
        if (raw.endsWith(u'\r'))
            raw.chop(1);
        start = end + 1;

        Line line{raw, {}, {}};
        const QString t = trimmed(raw);
        if (t.size() >= 2 && t.front() == u'[') {
            const qsizetype close = t.indexOf(u']');
            if (close >= 0) {
                current = trimmed(t.mid(1, close - 1));
                line.section = current;
                // A section line carries an empty key; key lines carry their section
                // name in `section` only through `current` below.
            }
        } else if (!t.isEmpty() && t.front() != u';') {
            const qsizetype eq = t.indexOf(u'=');
            if (eq >= 0 && !current.isEmpty())
                line.key = trimmed(t.left(eq));
        }
        if (line.section.isEmpty() && !line.key.isEmpty())
            line.section = current;
        lines_.push_back(std::move(line));
    }
}

int IniFile::findKey(const QString& section, const QString& key) const {
    for (size_t i = 0; i < lines_.size(); ++i)
        if (!lines_[i].key.isEmpty() && sameName(lines_[i].key, key) &&
            sameName(lines_[i].section, section))
            return static_cast<int>(i);
    return -1;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    return findKey(section, key) >= 0;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    const int i = findKey(section, key);
    if (i < 0)
        return def;
    const QString& raw = lines_[static_cast<size_t>(i)].raw;
    QString value = trimmed(raw.mid(raw.indexOf(u'=') + 1));
    // Windows drops one pair of enclosing double quotes when reading.
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
        value = value.mid(1, value.size() - 2);
    return value;
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
    const QString line = key + u'=' + value;
    const int i = findKey(section, key);
    if (i >= 0) {
        lines_[static_cast<size_t>(i)].raw = line;
    } else {
        // After the last key (or the header) of the section, or a new section at the end.
        int insertAt = -1;
        for (size_t j = 0; j < lines_.size(); ++j) {
            const Line& l = lines_[j];
            if (l.key.isEmpty() && !l.section.isEmpty()) {  // a section header
                if (sameName(l.section, section))
                    insertAt = static_cast<int>(j) + 1;
                else if (insertAt >= 0)
                    break;
            } else if (insertAt >= 0 && !trimmed(l.raw).isEmpty()) {
                insertAt = static_cast<int>(j) + 1;
            }
        }
        if (insertAt < 0) {
            lines_.push_back({u'[' + section + u']', section, {}});
            insertAt = static_cast<int>(lines_.size());
        }
        lines_.insert(lines_.begin() + insertAt, Line{line, section, key});
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
    QString text;
    for (const Line& l : lines_) {
        text += l.raw;
        text += QStringLiteral("\r\n");
    }
    // The code page whenever it holds every character, so older readers keep working;
    // UTF-8 with its mark rather than losing a character to '?'.
    const TextCodec& codec = TextCodec::system();
    const std::string bytes = codec.fromUnicode(text);
    QByteArray out;
    if (codec.toUnicode(bytes) == text) {
        out = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    } else {
        out = kUtf8Bom;
        out += text.toUtf8();
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
