#pragma once
// A Windows-style INI file read and written key by key.
//
// "[Section]" lines and "Key=Value" lines; section and key names compare without
// regard to case; blanks around names and values are ignored when reading. Values
// are written as they stand, without quoting or escaping, so "C:\Data" survives both
// ways. Writing a key changes only that line (or appends it to its section, or
// appends the section); every other line of the file, comments included, is kept.
// Lines end with CR LF. The text is 8-bit (the system code page) so that older
// files and other programs keep reading it; only when some line holds a character
// the code page lacks (a folder such as "Diseño" under Windows-1250) is the file
// written as UTF-8 behind a byte-order mark instead. Reading takes a file with that
// mark as UTF-8 and any other file as the code page's bytes.
//
// Changes stay in memory until save(); the destructor saves pending changes, so a
// caller that opens, writes and drops the object behaves like the Windows INI calls.

#include <QString>

#include <vector>

namespace platform {

class IniFile {
public:
    explicit IniFile(QString path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const QString& path() const { return path_; }

    bool hasKey(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Decimal integers; a missing key or a text that is not a whole number gives def.
    int readInteger(const QString& section, const QString& key, int def) const;
    // True for any integer other than 0.
    bool readBool(const QString& section, const QString& key, bool def) const;
    // With the user's decimal separator, as written by writeFloat.
    double readFloat(const QString& section, const QString& key, double def) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);  // 1 or 0
    // Up to 15 significant digits, no exponent for ordinary magnitudes, the user's
    // decimal separator: 100, 0,5 (under a decimal comma), -12,25.
    void writeFloat(const QString& section, const QString& key, double value);

    // Writes pending changes through a temporary file; false (and errorString())
    // when the file cannot be written. The previous file is then left as it was.
    bool save();
    bool isDirty() const { return dirty_; }
    QString errorString() const { return error_; }

    static QString formatFloat(double value);
    static bool parseFloat(const QString& text, double* value);

private:
    struct Line {
        QString raw;      // the line as read (without its line end)
        QString section;  // for a section header: its name; else empty
        QString key;      // for a key line: its name; else empty
    };

    // Index of the key's line, or -1.
    int findKey(const QString& section, const QString& key) const;
    void load();

    QString path_;
    std::vector<Line> lines_;
    bool dirty_ = false;
    QString error_;
};

}  // namespace platform
