// orlo-cli: ORLO data files from the command line.
//
// Usage: orlo-cli COMMAND ARGS...   (orlo-cli --help lists the commands)

#include "orlo/cli/CliOutput.h"
#include "orlo/cli/Commands.h"

#include <QCoreApplication>

#include <cstring>
#include <iterator>
#include <string>

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

std::string usage() {
    std::string text = "usage: orlo-cli COMMAND ARGS...\n\ncommands:\n";
    for (const Command& c : kCommands) {
        text += "  ";
        text += c.name;
        text += ' ';
        text += c.usage;
        text += "\n      ";
        text += c.summary;
        text += '\n';
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        const std::string text = usage();
        std::fwrite(text.data(), 1, text.size(), stderr);
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        orlo::cli::writeOut(usage());
        return 0;
    }
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name))
            return c.run(args);
    orlo::cli::writeError(QStringLiteral("unknown command \"%1\"").arg(name));
    const std::string text = usage();
    std::fwrite(text.data(), 1, text.size(), stderr);
    return 2;
}
