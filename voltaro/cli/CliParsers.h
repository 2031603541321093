#pragma once
// The parser list of the reception commands: the KOVA parser, then the parsers
// of the definition files in the given folder (default: "parsers" beside the
// program).

#include "voltaro/cli/CliOutput.h"
#include "voltaro/reception/DefinitionParsers.h"
#include "voltaro/reception/ParserList.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>

namespace voltaro::cli {

inline QString DefaultParserFolder() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("parsers"));
}

// Builds the parser list of one command; a definition file that cannot be
// used is reported on stderr and skipped.
inline void BuildCommandParserList(ParserList& parsers, const QString& folder) {
    BuildParserList(parsers, folder, [](const QString& dir, ParserList& list) {
        LoadDefinitionParsers(dir, list, [](const QString& text) { writeError(text); });
    });
}

}  // namespace voltaro::cli
