#include "orlo/data/TDataBlock.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace orlo {

namespace {

constexpr double LowStart = -9999;
constexpr double HighStart = 9999;

struct Extremes {
    double max = LowStart;
    double min = HighStart;
    double sum = 0;
};

Extremes scan(const std::vector<double>& v) {
    Extremes e;
    for (double x : v) {
        if (x > e.max)
            e.max = x;
        if (x < e.min)
            e.min = x;
        e.sum += x;
    }
    return e;
}

void fitLength(std::vector<double>& series, bool present, std::size_t n) {
    if (!present)
        series.clear();
    else
        series.resize(n, 0.0);
}

}  // namespace

int AddAnnotation(TDataBlock& block, TAnnotation annotation) {
    auto& list = block.Annotations;
    const auto at = std::upper_bound(list.begin(), list.end(), annotation.Time,
                                     [](double t, const TAnnotation& a) { return t < a.Time; });
    const auto index = static_cast<int>(at - list.begin());
    list.insert(at, std::move(annotation));
    return index;
}

void DeleteAnnotation(TDataBlock& block, int index) {
    if (index < 0 || index >= static_cast<int>(block.Annotations.size()))
        return;
    block.Annotations.erase(block.Annotations.begin() + index);
}

void ComputeBlockStatistics(TDataBlock& b, int n) {
    if (n < 0)
        n = 0;
    const auto count = static_cast<std::size_t>(n);

    for (int i = 0; i <= 7; ++i)
        b.Present[i] = false;
    b.Present[PresentTime] = true;

    const bool hasU = (b.ChannelMask & ChannelVoltage) != 0;
    const bool hasI = (b.ChannelMask & ChannelCurrent) != 0;
    const bool hasR = (b.ChannelMask & ChannelRpm) != 0;
    fitLength(b.Voltage, hasU, count);
    fitLength(b.Current, hasI, count);
    fitLength(b.Rpm, hasR, count);

    b.MaxU = b.MinU = b.AvgU = 0;
    b.MaxI = b.MinI = b.AvgI = 0;
    b.MaxP = b.AvgP = 0;
    b.MaxR = 0;
    b.BlockC = b.BlockE = 0;

    if (hasU) {
        const Extremes e = scan(b.Voltage);
        b.MaxU = e.max;
        b.MinU = e.min;
        b.AvgU = n > 0 ? e.sum / n : 0;
        b.Present[PresentVoltage] = true;
    }
    if (hasI) {
        const Extremes e = scan(b.Current);
        b.MaxI = e.max;
        b.MinI = e.min;
        b.AvgI = n > 0 ? e.sum / n : 0;
        b.Present[PresentCurrent] = true;
    }
    if (hasR) {
        b.MaxR = scan(b.Rpm).max;
        b.Present[PresentRpm] = true;
    }

    const double h = b.Interval / 50.0 / 3600.0;  // hours per sample

    b.Capacity.clear();
    if (b.Present[PresentCurrent]) {
        b.Capacity.resize(count);
        double sum = 0;
        for (std::size_t k = 0; k < count; ++k) {
            sum += h * b.Current[k];
            b.Capacity[k] = sum;
        }
        b.BlockC = count > 0 ? b.Capacity[count - 1] : 0;
        b.Present[PresentCapacity] = true;
    }

    b.Energy.clear();
    if (b.Present[PresentVoltage] && b.Present[PresentCurrent]) {
        b.Energy.resize(count);
        double sum = 0;
        double sumP = 0;
        double maxP = LowStart;
        for (std::size_t k = 0; k < count; ++k) {
            const double p = b.Voltage[k] * b.Current[k];
            sum += h * p;
            b.Energy[k] = sum;
            if (p > maxP)
                maxP = p;
            sumP += p;
        }
        b.MaxP = maxP;
        b.AvgP = n > 0 ? sumP / n : 0;
        b.BlockE = count > 0 ? b.Energy[count - 1] : 0;
        b.Present[PresentEnergy] = true;
    }
}

double SampleTime(int k, std::int32_t interval) {
    return static_cast<double>(k) * interval / 50.0;
}

double RawToVoltage(const TDataBlock& block, std::uint16_t raw) {
    return static_cast<double>(raw) * block.VoltageScale / 10000.0;
}

double RawToCurrent(const TDataBlock& block, std::uint16_t raw) {
    if (block.CurrentMode == 1)
        return raw * 2.5;
    // 64 bits: a large scale times a full-range step overflows 32.
    const std::int64_t steps = static_cast<std::int64_t>(block.CurrentZero) - raw;
    double value = static_cast<double>(steps * block.CurrentScale) / 10000.0;
    if (block.CurrentMode == 100)
        value *= 2;
    else if (block.CurrentMode == 200)
        value *= 4;
    return value;
}

double RawToRpm(std::uint16_t raw) {
    return raw * 60.0;
}

int LocateTimeIdx(const TDataBlock& block, double t) {
    const auto& time = block.Time;
    for (std::size_t k = 0; k < time.size(); ++k)
        if (!(time[k] < t))
            return static_cast<int>(k);
    return -1;
}

int LocateTimeIdxSorted(const TDataBlock& block, double t) {
    const auto& time = block.Time;
    // "not less than t" is exactly the first element for which (x < t) is false, which
    // also holds for a NaN t (every comparison false: index 0), as in the linear scan.
    const auto it = std::partition_point(time.begin(), time.end(), [t](double x) { return x < t; });
    if (it == time.end())
        return -1;
    return static_cast<int>(it - time.begin());
}

TMinMaxResult CalculateMinMax_Data(std::span<const TSlotRange> entries, int quantity,
                                   bool onlyShown) {
    TMinMaxResult r;
    if (quantity < 0 || quantity > 4) {
        r.Error = QStringLiteral("List index out of bounds in CalculateMinMax_Data!");
        return r;
    }
    double min = 0;
    double max = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TSlotRange& e = entries[i];
        if (!e.Exists)
            continue;
        if (onlyShown && !e.Active)
            continue;
        if (i == 0) {
            min = e.MinY;
            max = e.MaxY;
        } else {
            if (e.MinY < min)
                min = e.MinY;
            if (e.MaxY > max)
                max = e.MaxY;
        }
    }
    if (std::fabs(min) <= 0.5)
        min = -0.5;
    if (std::fabs(max) <= 0.5)
        max = 0.5;
    r.Ok = true;
    r.Min = min * 90 / 100;
    r.Max = max * 110 / 100;
    return r;
}

// ---- time texts ------------------------------------------------------------------------

namespace {

struct SplitTime {
    std::int64_t s = 0;  // whole seconds, truncated towards zero
    double f = 0;        // the rest, with the sign of the input
};

SplitTime split(double t) {
    if (!std::isfinite(t))
        return {};
    constexpr double limit = 9.0e18;  // keeps the truncation inside 64 bits
    t = std::clamp(t, -limit, limit);
    SplitTime r;
    const double whole = std::trunc(t);
    r.s = static_cast<std::int64_t>(whole);
    r.f = t - whole;
    return r;
}

QString twoDigits(std::int64_t v) {
    QString text = QString::number(v);
    if (text.size() == 1)
        text.prepend(QLatin1Char('0'));
    return text;
}

}  // namespace

QString FlyTimeText(double t) {
    const SplitTime st = split(t);
    const double value = static_cast<double>(st.s % 60) + st.f;
    // "%8.1f", trimmed, with the user's decimal separator
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    QString number = QString::fromLatin1(buf, res.ptr - buf);
    number.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
    const std::int64_t minutes = st.s / 60;
    if (minutes != 0)
        return QString::number(minutes) + QStringLiteral(" min ") + number + QStringLiteral(" sec");
    return number + QStringLiteral(" sec");
}

QString RecTimeText(double t) {
    const SplitTime st = split(t);
    QString text = QString::number(st.s / 60) + QLatin1Char(':') + twoDigits(st.s % 60);
    // nearbyint in the default rounding mode rounds halves to even.
    const double tenth = std::nearbyint(st.f * 10);
    if (tenth > 0)
        text += QLatin1Char(',') + QString::number(static_cast<int>(tenth));
    return text;
}

QString MinSecText(double t) {
    const SplitTime st = split(t);
    return QString::number(st.s / 60) + QLatin1Char(':') + twoDigits(st.s % 60);
}

}  // namespace orlo
