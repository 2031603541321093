#pragma once
// What decode and download share: the output options and the writing of the blocks.

#include "orlo/device/TOrloMemory.h"

#include <QStringList>

namespace orlo::cli {

struct BlockOutputOptions {
    QString OutDir;
    QString Name = QStringLiteral("Blok");
    bool Overwrite = false;
};

// Takes --out, --name and --overwrite out of args; false with a message when wrong.
bool takeBlockOutputOptions(QStringList& args, BlockOutputOptions& o, QString& error);
// Writes the blocks and prints what was written as JSON; returns the exit status:
// 1 when a block could not be converted, though the others were written.
int writeBlocksForCommand(const TOrloMemory& memory, const BlockOutputOptions& o);

}  // namespace orlo::cli
