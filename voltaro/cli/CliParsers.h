#pragma once
// The parser list of the reception commands: the KOVA parser, then the parsers
// of the definition files in the given folder (default: "parsers" beside the
// program).

#include "voltaro/reception/ParserList.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>

namespace voltaro::cli {

inline QString DefaultParserFolder() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("parsers"));
}

// Builds the program-wide parser list.
inline void BuildCommandParserList(const QString& folder) {
    BuildParserList(folder);
}

}  // namespace voltaro::cli
