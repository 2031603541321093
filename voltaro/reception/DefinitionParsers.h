#pragma once
// The parsers of the definition files in the "parsers" folder beside the
// program: discovery order, loading, and the messages about files that cannot
// be used (such a file is skipped, the others still load).

#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/StreamReading.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {
class Prompts;
}

namespace voltaro {

// Every ".rxp" file below the folder (the extension compared with case): the
// files of a folder sorted by name ignoring case, then each sub-folder the
// same way, depth first. A missing folder gives nothing; a folder reached
// twice (through a link) is walked once.
QStringList FindDefinitionFiles(const QString& folder);

// Loads every definition file found and appends the usable ones to the list, in
// discovery order. Each file that cannot be used hands its message to report.
void LoadDefinitionParsers(const QString& folder, ParserList& list,
                           const std::function<void(const QString&)>& report,
                           const platform::Clock& clock = platform::SteadyClock());

// The loader BuildParserList takes: messages are shown as warnings.
DefinitionParserLoader DefinitionFileLoader(platform::Prompts& prompts,
                                            platform::Clock clock = platform::SteadyClock());

}  // namespace voltaro
