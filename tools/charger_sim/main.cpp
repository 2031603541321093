// charger-sim: prints the device path of its pseudo-terminal and talks there as
// a KOVA charger would. See --help for the session it prints and its faults.
#include "ChargerSimulator.h"
#include "KovaSessionText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("KOVA charger simulator on a pseudo-terminal. Prints the device path, "
                       "then the session (online), or the session on every \"U\" (offline). "
                       "Prints \"sent N\" after each complete session."));
    p.addHelpOption();
    const QCommandLineOption replay(QStringLiteral("replay"),
                                    "Print the lines of the capture FILE instead of a generated "
                                    "session.",
                                    "FILE");
    const QCommandLineOption cycles(QStringLiteral("cycles"),
                                    "Generated blocks, C for a charge and D for a discharge (CD).",
                                    "LETTERS", "CD");
    const QCommandLineOption battery(QStringLiteral("battery"),
                                     "Battery kind 0..5: Battery, NiMH1, NiMH2, NiCd, Pb, LiX (3).",
                                     "N", "3");
    const QCommandLineOption samples(QStringLiteral("samples"), "Data lines per block (20).", "N",
                                     "20");
    const QCommandLineOption interval(QStringLiteral("interval"), "Seconds between samples (30).",
                                      "S", "30");
    const QCommandLineOption offline(QStringLiteral("offline"),
                                     "Print the session on request (\"U\") only.");
    const QCommandLineOption rate(QStringLiteral("rate"),
                                  "Lines per second (0: as fast as they are read).", "L", "0");
    const QCommandLineOption delay(QStringLiteral("start-delay"),
                                   "Online: wait MS milliseconds before the first line.", "MS",
                                   "0");
    const QCommandLineOption noFormFeed(QStringLiteral("no-form-feed"),
                                        "Do not end the session with a form feed.");
    const QCommandLineOption silence(QStringLiteral("silence-after"),
                                     "Fall silent for good after N lines.", "N");
    const QCommandLineOption garbage(QStringLiteral("garbage"),
                                     "A garbage line after every N-th line.", "N", "0");
    const QCommandLineOption partial(QStringLiteral("partial"), "Cut every N-th line in half.", "N",
                                     "0");
    const QCommandLineOption longLines(QStringLiteral("long-lines"),
                                       "Stretch every N-th line to 200 characters.", "N", "0");
    p.addOptions({replay, cycles, battery, samples, interval, offline, rate, delay, noFormFeed,
                  silence, garbage, partial, longLines});
    p.process(app);

    charger_sim::SimulatorOptions o;
    if (p.isSet(replay)) {
        QFile f(p.value(replay));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "charger-sim: cannot read %s\n", qPrintable(p.value(replay)));
            return 2;
        }
        o.Lines = charger_sim::SplitCapture(f.readAll().toStdString());
        // A capture that ends with its own form feed keeps it where it was.
        if (!o.Lines.empty() && o.Lines.back() == "\f") {
            o.Lines.pop_back();
        }
    } else {
        charger_sim::SessionSpec session;
        session.Cycles = p.value(cycles).toStdString();
        session.Battery = p.value(battery).toInt();
        session.Samples = p.value(samples).toInt();
        session.IntervalS = p.value(interval).toInt();
        o.Lines = charger_sim::KovaSessionLines(session);
    }
    o.Offline = p.isSet(offline);
    o.LinesPerSecond = p.value(rate).toDouble();
    o.StartDelayMs = p.value(delay).toInt();
    o.FormFeed = !p.isSet(noFormFeed);
    o.SilenceAfter = p.isSet(silence) ? p.value(silence).toInt() : -1;
    o.GarbageEvery = p.value(garbage).toInt();
    o.PartialEvery = p.value(partial).toInt();
    o.LongEvery = p.value(longLines).toInt();

    charger_sim::ChargerSimulator sim(std::move(o));
    if (!sim.create()) {
        std::fprintf(stderr, "charger-sim: no pseudo-terminal: %s\n",
                     qPrintable(sim.pty().errorText()));
        return 2;
    }
    return sim.run();
}
