#include "orlo/cli/CliOutput.h"

namespace orlo::cli {

bool readBlockForCommand(const QString& path, TDataBlock& block) {
    const TReadResult r = ReadDataFile(path, block);
    if (r.Outcome != TReadOutcome::Ok) {
        writeError(path + QStringLiteral(": ") + r.Message);
        return false;
    }
    if (r.Count < 1) {
        writeError(path + QStringLiteral(": the file holds no sample"));
        return false;
    }
    return true;
}

}  // namespace orlo::cli
