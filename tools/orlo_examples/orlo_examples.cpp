// Writes the example ORLO data files: a four-minute flight (voltage, current,
// revolutions every 0.1 s) and a bench run of a motor (voltage and current every
// 0.5 s). The curves come from a small battery and drive model, go through the
// logger's raw readings and their conversion, so they look like a real download.
//
// Usage: orlo-examples FOLDER

#include "orlo/data/TDataBlock.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace {

// Deterministic noise, so the files come out the same on every run.
class Noise {
public:
    double next() {  // in [-1, 1)
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state_ >> 11) / 4503599627370496.0 - 1.0;
    }

private:
    std::uint64_t state_ = 0x5eed;
};

// A lithium-polymer pack: rest voltage falls with the charge taken, and the terminal
// voltage sags with the current through the internal resistance.
struct Pack {
    int cells;
    double capacityAh;
    double resistance;  // ohm
    double usedAh = 0;

    double restVoltage() const {
        const double soc = std::clamp(1.0 - usedAh / capacityAh, 0.0, 1.0);
        const double cell = 3.5 + 0.55 * soc + 0.12 * soc * soc - 0.25 * std::exp(-25 * soc);
        return cells * cell;
    }
    double terminal(double amps) const { return restVoltage() - amps * resistance; }
};

std::uint16_t toRaw(double value) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(value), 0L, 65535L));
}

// Fills one block from a throttle profile (current in A over time in s).
orlo::TDataBlock record(orlo::TDataBlock header, int samples, Pack pack,
                        const std::function<double(double)>& amps, bool rpm, Noise& noise) {
    orlo::TDataBlock b = std::move(header);
    const double step = b.Interval / 50.0;
    const double ampsPerStep = b.CurrentScale / 10000.0 *
                               (b.CurrentMode == 200   ? 4
                                : b.CurrentMode == 100 ? 2
                                                       : 1);
    for (int k = 0; k < samples; ++k) {
        const double t = orlo::SampleTime(k, b.Interval);
        const double current = std::max(0.0, amps(t) + 0.15 * noise.next());
        pack.usedAh += current * step / 3600;
        const double volts = pack.terminal(current) + 0.01 * noise.next();

        b.Time.push_back(t);
        b.Voltage.push_back(orlo::RawToVoltage(b, toRaw(volts * 10000 / b.VoltageScale)));
        b.Current.push_back(orlo::RawToCurrent(b, toRaw(b.CurrentZero - current / ampsPerStep)));
        if (rpm) {
            // Propeller load: revolutions grow with the square root of the current.
            const double revs = current > 0.3 ? 2850 * std::sqrt(current) : 0;
            b.Rpm.push_back(orlo::RawToRpm(toRaw((revs + 40 * noise.next()) / 60)));
        }
    }
    orlo::ComputeBlockStatistics(b, samples);
    return b;
}

// Smooth change from a to b between t0 and t1.
double ramp(double t, double t0, double t1, double a, double b) {
    if (t <= t0)
        return a;
    if (t >= t1)
        return b;
    const double x = (t - t0) / (t1 - t0);
    return a + (b - a) * x * x * (3 - 2 * x);
}

double flightCurrent(double t) {
    // Idle, full-power climb, cruise with gusts, two more climbs, a glide and landing.
    struct Leg {
        double start, amps;
    };
    static const Leg legs[] = {{0, 0},    {6, 31},   {28, 15}, {70, 18}, {95, 29}, {110, 13},
                               {150, 27}, {162, 12}, {200, 0}, {214, 9}, {226, 4}, {231, 0}};
    double a = 0;
    for (std::size_t i = 0; i + 1 < std::size(legs); ++i)
        if (t >= legs[i].start)
            a = ramp(t, legs[i + 1].start - 1.5, legs[i + 1].start, legs[i].amps, legs[i + 1].amps);
    if (t >= legs[std::size(legs) - 1].start)
        a = 0;
    if (a > 5)
        a += 1.2 * std::sin(t * 0.9) + 0.6 * std::sin(t * 2.3);
    return a;
}

double benchCurrent(double t) {
    // Throttle steps of 30 s: 0, 10, 20, 30, 40 A, then back to idle.
    const int step = static_cast<int>(t / 30);
    const double target = step >= 1 && step <= 4 ? step * 10.0 : 0.0;
    const double previous = step >= 2 && step <= 5 ? (step - 1) * 10.0 : 0.0;
    return ramp(t, step * 30.0, step * 30.0 + 1.0, previous, target);
}

bool write(const QString& path, const orlo::TDataBlock& b) {
    const orlo::TWriteResult r = orlo::WriteDataFile(path, b);
    std::fprintf(r.Ok ? stdout : stderr, "%s: %s (%d samples)\n", qPrintable(path),
                 r.Ok ? "written" : qPrintable(r.Error), b.SampleCount());
    return r.Ok;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: orlo-examples FOLDER\n");
        return 2;
    }
    const QDir folder(args[1]);
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }
    Noise noise;

    orlo::TDataBlock flight;
    flight.DateText = "14.06.2026 10:42:17";
    flight.Interval = 5;
    flight.ChannelMask = orlo::ChannelVoltage | orlo::ChannelCurrent | orlo::ChannelRpm;
    flight.CurrentZero = 2048;
    flight.CurrentScale = 100;
    flight.VoltageScale = 61;
    flight.CurrentMode = 200;
    flight.Extra = 0;
    flight = record(std::move(flight), 2400, Pack{3, 2.2, 0.028}, flightCurrent, true, noise);
    flight.Notes =
        "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 "
        "Four-minute flight, 3S 2200 mAh pack, 10x6 propeller. Full-power climbs at 6 s, "
        "95 s and 150 s, glide from 200 s, landing at 231 s.\\par}";

    orlo::TDataBlock bench;
    bench.DateText = "15.06.2026 18:05:44";
    bench.Interval = 25;
    bench.ChannelMask = orlo::ChannelVoltage | orlo::ChannelCurrent;
    bench.CurrentZero = 2051;
    bench.CurrentScale = 100;
    bench.VoltageScale = 61;
    bench.CurrentMode = 100;
    bench.Extra = 0;
    bench = record(std::move(bench), 360, Pack{4, 5.0, 0.018}, benchCurrent, false, noise);
    bench.Notes =
        "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 "
        "Bench run on the test stand, 4S 5000 mAh pack, throttle steps of 30 s from "
        "10 A to 40 A.\\par}";

    const bool ok = write(folder.filePath(QStringLiteral("flight_4min.orl")), flight) &&
                    write(folder.filePath(QStringLiteral("bench_run.orl")), bench);
    return ok ? 0 : 1;
}
