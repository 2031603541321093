#pragma once
// The logger's 264-byte configuration record and the encodings of its controls.
//
// Words are big-endian. Bytes the program does not interpret are kept exactly as
// read and written back unchanged. Every control change stores into the record at
// once; the functions here return what the window must show (an error box text, a
// corrected control text) and never show anything themselves.

#include "orlo/device/OrloProtocol.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace orlo {

using TConfigImage = std::array<std::uint8_t, ConfigSize>;

namespace cfg {
inline constexpr int Altitude = 11;
inline constexpr int RxLength = 12;
inline constexpr int PowerSupply = 15;
inline constexpr int FirstChannel = 11;  // channel switches 11 ... 17
inline constexpr int LastChannel = 17;
inline constexpr int Interval = 30;       // units of 10 ms
inline constexpr int StartMode = 50;      // 3 immediately, 1 delay, 0 RX channel, 2 altitude
inline constexpr int FinishMode = 51;     // 0 power off, 1 minutes, 3 RX channel
inline constexpr int StartDelay = 52;     // seconds
inline constexpr int StartAltitude = 54;  // metres
inline constexpr int FinishTime = 56;     // minutes
inline constexpr int Threshold = 66;      // volts / 0.01199
inline constexpr int Number1 = 70;
inline constexpr int Number2 = 72;
inline constexpr int Number3 = 74;

inline constexpr int MaxInterval = 60000;  // 10 min
inline constexpr double VoltsPerStep = 0.01199;
}  // namespace cfg

int ConfigWord(const TConfigImage& image, int at);
void SetConfigWord(TConfigImage& image, int at, int value);  // low 16 bits

// What the refresh puts into the controls. Radio indices count from 1 as the
// buttons are numbered; 0 leaves the group as it is.
struct TConfigControls {
    QString MinText, SecText, TenthText;
    bool Altitude = false, RxLength = false, PowerSupply = false;
    QString StartDelayText, StartAltitudeText;
    int StartRadio = 0;  // RSRadioButton1 ... 4
    QString FinishTimeText;
    int FinishRadio = 0;  // RFRadioButton1 ... 3
    QString ThresholdText;
    std::array<QString, 3> NumberTexts;
};
TConfigControls ConfigControls(const TConfigImage& image);

// Result of one control change.
struct TConfigChange {
    bool Stored = false;
    QString Error;                     // an error box text, empty when none
    std::optional<QString> Corrected;  // the control's new text after a clamp
};

// An integer as the edits read it: optional blanks, optional sign, digits.
std::optional<int> ParseConfigInt(const QString& text);
// "'x' is not a valid integer value"
QString IntegerErrorText(const QString& text);

// Interval from the three edits (minutes, seconds, tenths): v = (m·600 + s·10 + t)·10.
// Above 10 min: Error "Max Sample rate is 10min", Clamped set (edits "10", "0", "0"),
// v = 60000. An edit that is not an integer stores nothing.
struct TIntervalChange {
    bool Stored = false;
    bool Clamped = false;
    QString Error;
    int Value = 0;
};
TIntervalChange StoreInterval(TConfigImage& image, const QString& minutes, const QString& seconds,
                              const QString& tenths);

// The check an interval edit makes on its own text before the store above.
QString CheckIntegerText(const QString& text);

TConfigChange StoreStartDelay(TConfigImage& image, const QString& text);         // RSEdit
TConfigChange StoreStartAltitude(TConfigImage& image, const QString& text);      // RSAltEdit
TConfigChange StoreFinishTime(TConfigImage& image, const QString& text);         // RFEdit
TConfigChange StoreThreshold(TConfigImage& image, const QString& text);          // UniEdit
TConfigChange StoreNumber(TConfigImage& image, int which, const QString& text);  // 0..2

// Radio buttons; the ones with an edit store the edit's value first (and store
// nothing when it is not an integer).
TConfigChange StoreStartRadio(TConfigImage& image, int radio, const QString& editText);
TConfigChange StoreFinishRadio(TConfigImage& image, int radio, const QString& editText);

// A number edit being left: false when its value (0 for a non-number) is above 65535.
bool NumberInRange(const QString& text);
inline constexpr const char* NumberRangeText = "Number must be 0..65535!";

// Recording time left in seconds: interval·(540000 − used)/(2·channels on), halves to
// even; 0 when no channel is on.
int RecordingSeconds(const TConfigImage& image, int memoryUsed);
// "59 s", or "1h 2min 5s" above a minute.
QString RecordingTimeText(int seconds);

}  // namespace orlo
