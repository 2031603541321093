// orlo-sim: prints the device path of its pseudo-terminal and answers there as an
// ORLO logger would. See --help for the memory it serves and the faults it shows.
#include "OrloSimulator.h"

#include "orlo/device/MemoryImageBuilder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

QList<int> intList(const QString& text) {
    QList<int> out;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int v = part.trimmed().toInt(&ok, 0);
        if (ok)
            out << v;
    }
    return out;
}

int pick(const QList<int>& list, int i, int fallback) {
    return list.isEmpty() ? fallback : list[i % list.size()];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("ORLO logger simulator on a pseudo-terminal. Prints the device path, "
                       "then serves \"*\", \"D\", \"R\", \"W\" and \"E\" until killed."));
    p.addHelpOption();
    const QCommandLineOption image(QStringLiteral("image"),
                                   "Memory reply (the bytes after \"D\") from FILE.", "FILE");
    const QCommandLineOption blocks(QStringLiteral("blocks"),
                                    "Generated memory: number of blocks (3).", "N", "3");
    const QCommandLineOption samples(QStringLiteral("samples"), "Samples per block, a list (50).",
                                     "L", "50");
    const QCommandLineOption masks(QStringLiteral("mask"),
                                   "Channel masks per block, a list (0xC000).", "M", "0xC000");
    const QCommandLineOption modes(QStringLiteral("current-mode"),
                                   "Current modes per block, a list (0).", "C", "0");
    const QCommandLineOption interval(QStringLiteral("interval"), "Interval in 1/50 s (5).", "T",
                                      "5");
    const QCommandLineOption config(QStringLiteral("config"),
                                    "Configuration record (264 bytes) from FILE.", "FILE");
    const QCommandLineOption hello(QStringLiteral("hello-repeat"),
                                   "Answer every \"*\" K times (1; 0: a logger that is not ready).",
                                   "K", "1");
    const QCommandLineOption badSum(QStringLiteral("bad-checksum"),
                                    "Send the memory with a wrong checksum.");
    const QCommandLineOption badCfg(QStringLiteral("bad-config-checksum"),
                                    "Send the configuration with a wrong checksum.");
    const QCommandLineOption differ(QStringLiteral("verify-differ"),
                                    "Read back a record that differs in one byte.");
    const QCommandLineOption stall(QStringLiteral("stall-after"),
                                   "Fall silent after N memory bytes.", "N");
    const QCommandLineOption hangup(QStringLiteral("hangup-after"), "Hang up after N memory bytes.",
                                    "N");
    const QCommandLineOption garbage(QStringLiteral("garbage"),
                                     "N garbage bytes before every reply.", "N", "0");
    const QCommandLineOption paced(QStringLiteral("paced"), "Send at the line rate of 57600 baud.");
    const QCommandLineOption eraseDelay(QStringLiteral("erase-delay"),
                                        "Erasing takes MS milliseconds (500).", "MS", "500");
    const QCommandLineOption eraseAnswer(QStringLiteral("erase-answer"),
                                         "The byte that ends erasing (E).", "C", "E");
    const QCommandLineOption ignore(QStringLiteral("ignore"),
                                    "Leave these command letters unanswered (for example D).",
                                    "LETTERS");
    const QCommandLineOption verbose(QStringLiteral("verbose"), "Log commands on stderr.");
    p.addOptions({image, blocks, samples, masks, modes, interval, config, hello, badSum, badCfg,
                  differ, stall, hangup, garbage, paced, eraseDelay, eraseAnswer, ignore, verbose});
    p.process(app);

    orlo::SimulatorOptions o;
    if (p.isSet(image)) {
        QFile f(p.value(image));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "orlo-sim: cannot read %s\n", qPrintable(p.value(image)));
            return 2;
        }
        const QByteArray b = f.readAll();
        o.Memory.assign(b.begin(), b.end());
    } else {
        const int n = p.value(blocks).toInt();
        const QList<int> s = intList(p.value(samples)), m = intList(p.value(masks)),
                         c = intList(p.value(modes));
        std::vector<orlo::TBlockSpec> specs;
        for (int i = 0; i < n; ++i) {
            orlo::TBlockSpec plan;
            plan.Interval = p.value(interval).toInt();
            plan.Samples = pick(s, i, 50);
            plan.ChannelMask = pick(m, i, 0xC000);
            plan.CurrentMode = pick(c, i, 0);
            specs.push_back(plan);
        }
        o.Memory = orlo::BuildMemoryReply(specs);
    }
    o.Config = orlo::DefaultSimulatorConfig();
    if (p.isSet(config)) {
        QFile f(p.value(config));
        if (!f.open(QIODevice::ReadOnly) || f.size() != orlo::ConfigSize) {
            std::fprintf(stderr, "orlo-sim: %s is not a 264-byte record\n",
                         qPrintable(p.value(config)));
            return 2;
        }
        const QByteArray b = f.readAll();
        std::copy(b.begin(), b.end(), o.Config.begin());
    }
    o.HelloRepeat = std::max(0, p.value(hello).toInt());
    o.BadChecksum = p.isSet(badSum);
    o.BadConfigChecksum = p.isSet(badCfg);
    o.VerifyDiffers = p.isSet(differ);
    o.StallAfter = p.isSet(stall) ? p.value(stall).toLong() : -1;
    o.HangUpAfter = p.isSet(hangup) ? p.value(hangup).toLong() : -1;
    o.Garbage = p.value(garbage).toInt();
    o.Paced = p.isSet(paced);
    o.EraseDelayMs = p.value(eraseDelay).toInt();
    const QString ea = p.value(eraseAnswer);
    o.EraseAnswer = ea.isEmpty() ? 'E' : std::uint8_t(ea.at(0).toLatin1());
    for (const char c : p.value(ignore).toLatin1())
        o.Ignored.push_back(std::uint8_t(c));
    o.Verbose = p.isSet(verbose);

    orlo::OrloSimulator sim(std::move(o));
    if (!sim.create()) {
        std::fprintf(stderr, "orlo-sim: no pseudo-terminal: %s\n",
                     qPrintable(sim.pty().errorText()));
        return 2;
    }
    return sim.run();
}
