#include "voltaro/reception/DefinitionParsers.h"

#include "platform/core/Prompts.h"
#include "voltaro/reception/CProtParser_Regexp.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <memory>

namespace voltaro {
namespace {

bool lessIgnoringCase(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    // Names that differ only in case keep a fixed order.
    return c != 0 ? c < 0 : a < b;
}

void collect(const QString& folder, QStringList& out, QSet<QString>& seen) {
    const QFileInfo here(folder);
    const QString canonical = here.canonicalFilePath();
    if (canonical.isEmpty() || seen.contains(canonical))
        return;
    seen.insert(canonical);

    QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    QStringList files;
    QStringList folders;
    for (const QFileInfo& entry : entries)
        (entry.isDir() ? folders : files).append(entry.fileName());
    std::sort(files.begin(), files.end(), lessIgnoringCase);
    std::sort(folders.begin(), folders.end(), lessIgnoringCase);
    for (const QString& name : files)
        if (name.endsWith(QLatin1String(".rxp"), Qt::CaseSensitive))
            out.append(dir.filePath(name));
    for (const QString& name : folders)
        collect(dir.filePath(name), out, seen);
}

}  // namespace

QStringList FindDefinitionFiles(const QString& folder) {
    QStringList out;
    QSet<QString> seen;
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        collect(folder, out, seen);
    return out;
}

void LoadDefinitionParsers(const QString& folder, ParserList& list,
                           const std::function<void(const QString&)>& report,
                           const platform::Clock& clock) {
    for (const QString& path : FindDefinitionFiles(folder)) {
        auto parser = std::make_unique<CProtParser_Regexp>(clock);
        QString error;
        if (parser->LoadDefinition(path, &error))
            list.Add(std::move(parser));
        else if (report)
            report(error);
    }
}

DefinitionParserLoader DefinitionFileLoader(platform::Prompts& prompts, platform::Clock clock) {
    return [&prompts, clock = std::move(clock)](const QString& folder, ParserList& list) {
        LoadDefinitionParsers(
            folder, list, [&prompts](const QString& text) { prompts.warning(text); }, clock);
    };
}

}  // namespace voltaro
