// orlo-cli export FILE.orl OUT.csv: the comma-separated text export of a data file.

#include "orlo/cli/CliOutput.h"
#include "orlo/cli/Commands.h"

namespace orlo::cli {

int ExportCommand(const QStringList& args) {
    if (args.size() != 2) {
        writeError(QStringLiteral("usage: orlo-cli export FILE.orl OUT.csv"));
        return 2;
    }
    TDataBlock b;
    if (!readBlockForCommand(args[0], b))
        return 1;
    const TExportResult r = ExportText(args[0], args[1], b);
    if (r.Code != 0) {
        writeError(args[1] + QStringLiteral(": ") + r.Error);
        return 1;
    }
    return 0;
}

}  // namespace orlo::cli
