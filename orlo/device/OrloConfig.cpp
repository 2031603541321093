#include "orlo/device/OrloConfig.h"

#include <cmath>

namespace orlo {

int ConfigWord(const TConfigImage& image, int at) {
    return (image[std::size_t(at)] << 8) | image[std::size_t(at) + 1];
}

void SetConfigWord(TConfigImage& image, int at, int value) {
    image[std::size_t(at)] = std::uint8_t((value >> 8) & 0xFF);
    image[std::size_t(at) + 1] = std::uint8_t(value & 0xFF);
}

TConfigControls ConfigControls(const TConfigImage& image) {
    TConfigControls c;
    const int tenths = ConfigWord(image, cfg::Interval) / 10;
    c.TenthText = QString::number(tenths % 10);
    c.SecText = QString::number((tenths / 10) % 60);
    c.MinText = QString::number((tenths / 10) / 60);
    c.Altitude = image[cfg::Altitude] == 1;
    c.RxLength = image[cfg::RxLength] == 1;
    c.PowerSupply = image[cfg::PowerSupply] == 1;
    c.StartDelayText = QString::number(ConfigWord(image, cfg::StartDelay));
    c.StartAltitudeText = QString::number(ConfigWord(image, cfg::StartAltitude));
    switch (image[cfg::StartMode]) {
        case 0:
            c.StartRadio = 3;
            break;
        case 1:
            c.StartRadio = 2;
            break;
        case 2:
            c.StartRadio = 4;
            break;
        case 3:
            c.StartRadio = 1;
            break;
        default:
            c.StartRadio = 0;
    }
    c.FinishTimeText = QString::number(ConfigWord(image, cfg::FinishTime));
    switch (image[cfg::FinishMode]) {
        case 0:
            c.FinishRadio = 1;
            break;
        case 1:
            c.FinishRadio = 2;
            break;
        case 3:
            c.FinishRadio = 3;
            break;
        default:
            c.FinishRadio = 0;
    }
    c.ThresholdText =
        QString::number(ConfigWord(image, cfg::Threshold) * cfg::VoltsPerStep, 'f', 2);
    c.NumberTexts = {QString::number(ConfigWord(image, cfg::Number1)),
                     QString::number(ConfigWord(image, cfg::Number2)),
                     QString::number(ConfigWord(image, cfg::Number3))};
    return c;
}

std::optional<int> ParseConfigInt(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

QString IntegerErrorText(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString CheckIntegerText(const QString& text) {
    if (text.isEmpty() || ParseConfigInt(text))
        return {};
    return IntegerErrorText(text);
}

TIntervalChange StoreInterval(TConfigImage& image, const QString& minutes, const QString& seconds,
                              const QString& tenths) {
    TIntervalChange r;
    long long parts[3];
    const QString* texts[3] = {&minutes, &seconds, &tenths};
    for (int j = 0; j < 3; ++j) {
        if (texts[j]->isEmpty()) {
            parts[j] = 0;
            continue;
        }
        const auto v = ParseConfigInt(*texts[j]);
        if (!v)
            return r;  // the edit's own check reported it; the interval stays as it was
        parts[j] = *v;
    }
    long long v = (parts[0] * 600 + parts[1] * 10 + parts[2]) * 10;
    if (v > cfg::MaxInterval) {
        r.Error = QStringLiteral("Max Sample rate is 10min");
        r.Clamped = true;
        v = cfg::MaxInterval;
    }
    r.Stored = true;
    r.Value = int(v);
    image[cfg::Interval] = std::uint8_t((v / 256) & 0xFF);
    image[cfg::Interval + 1] = std::uint8_t(v % 256);
    return r;
}

namespace {

// A limited word edit: an empty text stores nothing, a non-integer shows the
// conversion error, a value above the limit is clamped and shown clamped.
TConfigChange storeLimited(TConfigImage& image, int at, const QString& text, int limit,
                           bool clampAtLimitToo) {
    TConfigChange r;
    if (text.isEmpty())
        return r;
    const auto v = ParseConfigInt(text);
    if (!v) {
        r.Error = IntegerErrorText(text);
        return r;
    }
    int value = *v;
    if (clampAtLimitToo ? value >= limit + 1 : value > limit) {
        value = limit;
        r.Corrected = QString::number(limit);
    }
    SetConfigWord(image, at, value);
    r.Stored = true;
    return r;
}

}  // namespace

TConfigChange StoreStartDelay(TConfigImage& image, const QString& text) {
    return storeLimited(image, cfg::StartDelay, text, 9999, true);
}

TConfigChange StoreStartAltitude(TConfigImage& image, const QString& text) {
    return storeLimited(image, cfg::StartAltitude, text, 9999, true);
}

TConfigChange StoreFinishTime(TConfigImage& image, const QString& text) {
    return storeLimited(image, cfg::FinishTime, text, 1000, false);
}

TConfigChange StoreThreshold(TConfigImage& image, const QString& text) {
    TConfigChange r;
    if (text.isEmpty())
        return r;
    bool ok = false;
    double volts = text.trimmed().toDouble(&ok);  // "." always: the key filter allows no ","
    if (!ok || !std::isfinite(volts)) {
        r.Error = QStringLiteral("Invalid input value");
        return r;
    }
    if (volts > 12.0) {
        volts = 12.0;
        r.Corrected = QStringLiteral("12.0");
    }
    SetConfigWord(image, cfg::Threshold, int(std::nearbyint(volts / cfg::VoltsPerStep)));
    r.Stored = true;
    return r;
}

TConfigChange StoreNumber(TConfigImage& image, int which, const QString& text) {
    TConfigChange r;
    if (text.isEmpty() || which < 0 || which > 2)
        return r;
    const auto v = ParseConfigInt(text);
    if (!v) {
        r.Error = IntegerErrorText(text);
        return r;
    }
    SetConfigWord(image, cfg::Number1 + 2 * which, *v & 0xFFFF);
    r.Stored = true;
    return r;
}

TConfigChange StoreStartRadio(TConfigImage& image, int radio, const QString& editText) {
    TConfigChange r;
    int at = -1;
    std::uint8_t mode = 0;
    switch (radio) {
        case 1:
            mode = 3;
            break;
        case 2:
            mode = 1;
            at = cfg::StartDelay;
            break;
        case 3:
            mode = 0;
            break;
        case 4:
            mode = 2;
            at = cfg::StartAltitude;
            break;
        default:
            return r;
    }
    if (at >= 0) {
        const auto v = ParseConfigInt(editText);
        if (!v) {
            r.Error = IntegerErrorText(editText);
            return r;
        }
        SetConfigWord(image, at, *v);
    }
    image[cfg::StartMode] = mode;
    r.Stored = true;
    return r;
}

TConfigChange StoreFinishRadio(TConfigImage& image, int radio, const QString& editText) {
    TConfigChange r;
    std::uint8_t mode = 0;
    switch (radio) {
        case 1:
            mode = 0;
            break;
        case 2: {
            mode = 1;
            const auto v = ParseConfigInt(editText);
            if (!v) {
                r.Error = IntegerErrorText(editText);
                return r;
            }
            SetConfigWord(image, cfg::FinishTime, *v);
            break;
        }
        case 3:
            mode = 3;
            break;
        default:
            return r;
    }
    image[cfg::FinishMode] = mode;
    r.Stored = true;
    return r;
}

bool NumberInRange(const QString& text) {
    const auto v = ParseConfigInt(text);
    return !v || *v <= 65535;
}

int RecordingSeconds(const TConfigImage& image, int memoryUsed) {
    int channels = 0;
    for (int b = cfg::FirstChannel; b <= cfg::LastChannel; ++b)
        if (image[std::size_t(b)] == 1)
            ++channels;
    if (channels < 1)
        return 0;
    const double intervalMs = ConfigWord(image, cfg::Interval) * 10.0;
    const double seconds =
        intervalMs / 1000.0 * double(LoggerMemorySize - memoryUsed) / (2.0 * channels);
    return int(std::nearbyint(seconds));
}

QString RecordingTimeText(int seconds) {
    if (seconds <= 60)
        return QStringLiteral("%1 s").arg(seconds);
    int m = seconds / 60;
    const int s = seconds % 60;
    const int h = m / 60;
    m %= 60;
    return QStringLiteral("%1h %2min %3s").arg(h).arg(m).arg(s);
}

}  // namespace orlo
