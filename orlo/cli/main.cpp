// orlo-cli: ORLO data files from the command line.
//
// Usage: orlo-cli COMMAND ARGS...   (orlo-cli --help lists the commands)

#include "orlo/cli/CliOutput.h"
#include "orlo/cli/Commands.h"

namespace {

using orlo::cli::Command;

// One line per command.
constexpr Command kCommands[] = {
    {"info", "FILE.orl", "header, sample count and statistics as JSON", orlo::cli::InfoCommand},
    {"export", "FILE.orl OUT.csv", "comma-separated text export", orlo::cli::ExportCommand},
    {"decode", "IMAGE --out DIR [--name NAME] [--overwrite]", "data files from a memory reply",
     orlo::cli::DecodeCommand},
    {"download", "--port PORT --out DIR [--name NAME] [--overwrite] [--wait S]",
     "data files from the logger", orlo::cli::DownloadCommand},
};

}  // namespace

int main(int argc, char** argv) {
    return platform::cli::runCommandLine(argc, argv, orlo::cli::kProgramName, kCommands);
}
