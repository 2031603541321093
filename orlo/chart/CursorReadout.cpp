#include "orlo/chart/CursorReadout.h"

#include <QLocale>

#include <charconv>
#include <cmath>

namespace orlo {

namespace {

// Fixed notation with "." as the separator, never an exponent.
QString plainFixed(double v, int decimals) {
    if (!std::isfinite(v))
        return std::isnan(v) ? QStringLiteral("NAN")
                             : (v > 0 ? QStringLiteral("INF") : QStringLiteral("-INF"));
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return QString::fromLatin1(buf, static_cast<qsizetype>(r.ptr - buf));
}

QString withLocaleSeparator(QString text) {
    return text.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

bool inside(double v, double min, double max) {
    return !(v < min) && !(v > max);
}

}  // namespace

QString FixedText(double v, int decimals) {
    return withLocaleSeparator(plainFixed(v, decimals));
}

TReadout CursorReadout(const TReadoutInput& in) {
    TReadout out;
    out.Fields.fill(QStringLiteral("-"));
    if (!in.Block || !in.BlockShown)
        return out;
    const double t = in.T;
    if (t < 0 || t < in.TimeMin || t > in.TimeMax || std::isnan(t))
        return out;

    QString text = QStringLiteral("[") + FlyTimeText(t) + QStringLiteral(", ");
    static const char* const units[] = {" V, ", " A, ", " RPM, ", " Ah, "};
    for (std::size_t q = 0; q < in.Channels.size(); ++q) {
        const TReadoutChannel& c = in.Channels[q];
        if (!c.On)
            continue;
        if (!inside(c.Value, c.Min, c.Max))
            return out;
        text += FixedText(c.Value, q == SlotRpm ? 0 : 2) + QString::fromLatin1(units[q]);
    }

    const TDataBlock& b = *in.Block;
    out.Fields[FieldTime] = RecTimeText(t);
    const int i = in.TimeSorted ? LocateTimeIdxSorted(b, t) : LocateTimeIdx(b, t);
    if (i >= 0) {
        const auto idx = static_cast<std::size_t>(i);
        const auto put = [&](TCursorField f, const std::vector<double>& v, int decimals) {
            if (v.size() > idx)
                out.Fields[f] = FixedText(v[idx], decimals);
        };
        put(FieldU, b.Voltage, 2);
        put(FieldI, b.Current, 2);
        if (b.Voltage.size() > idx && b.Current.size() > idx)
            out.Fields[FieldP] = FixedText(b.Voltage[idx] * b.Current[idx], 2);
        put(FieldC, b.Capacity, 2);
        put(FieldE, b.Energy, 2);
        put(FieldR, b.Rpm, 0);
    }

    if (text.size() > 1)
        text.chop(2);
    out.Label = text + QStringLiteral(" ]");
    return out;
}

QString AxisValueText(double v, TValueFormat format) {
    const int decimals = format == TValueFormat::Grouped4   ? 4
                         : format == TValueFormat::Grouped3 ? 3
                                                            : 0;
    QString text = plainFixed(v, decimals);
    if (!std::isfinite(v))
        return text;
    // Drop trailing zeros of the decimals ("#" digits are optional).
    if (decimals > 0) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text == QStringLiteral("-0"))
        text = QStringLiteral("0");
    const QLocale locale = QLocale::system();
    qsizetype point = text.indexOf(QLatin1Char('.'));
    QString integer = point < 0 ? text : text.left(point);
    QString fraction = point < 0 ? QString() : text.mid(point + 1);
    if (format != TValueFormat::Integer) {
        const bool negative = integer.startsWith(QLatin1Char('-'));
        QString digits = negative ? integer.mid(1) : integer;
        const QString group = locale.groupSeparator();
        for (qsizetype k = digits.size() - 3; k > 0; k -= 3)
            digits.insert(k, group);
        integer = negative ? QStringLiteral("-") + digits : digits;
    }
    return fraction.isEmpty() ? integer : integer + locale.decimalPoint() + fraction;
}

QString MinSecLabel(const QString& label) {
    const QString point = QLocale::system().decimalPoint();
    QString text = label;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text.at(k);
        if (c.isDigit() || c == QLatin1Char('-') || QString(c) == point)
            continue;
        text.remove(k, 1);
        break;
    }
    bool ok = false;
    const qlonglong seconds = text.toLongLong(&ok, 10);
    if (!ok)
        return label;
    return MinSecText(static_cast<double>(seconds));
}

}  // namespace orlo
