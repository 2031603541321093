#pragma once
// One recorded block of the ORLO logger and the small routines that read it.
//
// The record keeps the header exactly as the logger wrote it, the measured series in
// physical units, the derived capacity and energy, statistics, the notes (as the
// 8-bit bytes the notes editor produced) and the annotations. A plain copyable value:
// how a block is drawn or listed belongs to the chart and to the open-block list.

#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace orlo {

// Slot indices of the chart series of a block: the quantity numbers, then the
// annotations.
enum TSlotIndex : int {
    SlotVoltage = 0,
    SlotCurrent = 1,
    SlotRpm = 2,
    SlotCapacity = 3,
    SlotAnnotations = 4,
    SlotCount = 5
};

// Indices of TDataBlock::Present.
enum TPresentIndex : int {
    PresentTime = 0,
    PresentVoltage = 1,
    PresentCurrent = 2,
    PresentRpm = 3,
    PresentCapacity = 4,
    PresentEnergy = 5
};

// Channel bits of ChannelMask.
inline constexpr std::int32_t ChannelVoltage = 0x8000;
inline constexpr std::int32_t ChannelCurrent = 0x4000;
inline constexpr std::int32_t ChannelRpm = 0x2000;

// A point in time of a block with a value and a short text (the annotation dialogs
// label the value as altitude in metres).
struct TAnnotation {
    double Time = 0;  // seconds
    double Value = 0;
    // UTF-8, unlike the other texts of a block: the user types it and only our own
    // section of the data file keeps it, so no character is lost to the code page.
    std::string Text;

    bool operator==(const TAnnotation&) const = default;
};

struct TDataBlock {
    std::string DateText;
    std::int32_t Interval = 0;  // ticks of 1/50 s
    std::int32_t ChannelMask = 0;
    std::int32_t CurrentZero = 0;
    std::int32_t CurrentScale = 0;
    std::int32_t VoltageScale = 0;
    std::int32_t CurrentMode = 0;
    std::int32_t Extra = 0;
    double MaxU = 0, MinU = 0, AvgU = 0;
    double MaxI = 0, MinI = 0, AvgI = 0;
    double MaxP = 0, AvgP = 0;
    double MaxR = 0;
    double BlockC = 0;
    double BlockE = 0;
    std::array<bool, 9> Present{};
    std::vector<double> Time;
    std::vector<double> Voltage;
    std::vector<double> Current;
    std::vector<double> Rpm;
    std::vector<double> Capacity;
    std::vector<double> Energy;
    std::string Notes;
    // In time order; the data file keeps them after the notes. The chart's annotation
    // series (SlotAnnotations) shows them.
    std::vector<TAnnotation> Annotations;
    bool Modified = false;

    // Number of samples (the length of Time).
    int SampleCount() const { return static_cast<int>(Time.size()); }
};

// A copy is an independent block: nothing of the chart or of the open-block list lives
// in the record.
static_assert(std::is_copy_constructible_v<TDataBlock> && std::is_copy_assignable_v<TDataBlock> &&
              std::is_nothrow_move_constructible_v<TDataBlock>);

// Fills Present, Capacity, Energy and every statistic from the header, Time and the
// measured series of the set channel bits (each of length n). A series whose channel
// bit is clear is emptied; a measured series of another length is cut or padded with
// zeros to n, so that all series of the block keep one length.
void ComputeBlockStatistics(TDataBlock& block, int n);

// Puts an annotation after those of the same or an earlier time; returns its index.
int AddAnnotation(TDataBlock& block, TAnnotation annotation);
// Removes the annotation at index; an index out of range changes nothing.
void DeleteAnnotation(TDataBlock& block, int index);

// Raw 16-bit logger readings to the stored physical values, by the block's header.
double SampleTime(int k, std::int32_t interval);  // k * Interval / 50 seconds
double RawToVoltage(const TDataBlock& block, std::uint16_t raw);
// Mode 1 reads 2.5 A per step; others scale from the zero point (a reading below it is
// a positive current), doubled in mode 100 and quadrupled in mode 200.
double RawToCurrent(const TDataBlock& block, std::uint16_t raw);
double RawToRpm(std::uint16_t raw);

// Index of the first sample whose time is at least t, -1 when no sample is that late.
int LocateTimeIdx(const TDataBlock& block, double t);
// The same answer by binary search, for a block whose Time does not decrease (as every
// block from the logger or from a data file written by us).
int LocateTimeIdxSorted(const TDataBlock& block, double t);

// One entry of the open-block list as the range fitting sees it.
struct TSlotRange {
    bool Exists = false;  // false: the list holds no record at this index
    bool Active = false;  // the slot's series is shown
    double MinY = 0;
    double MaxY = 0;
};

struct TMinMaxResult {
    bool Ok = false;
    double Min = 0;
    double Max = 0;
    QString Error;  // set when !Ok
};

// Value range of one slot over the open blocks, padded for a value axis.
TMinMaxResult CalculateMinMax_Data(std::span<const TSlotRange> entries, int quantity,
                                   bool onlyShown);

// Time texts of the info panels, cursor readout and time axis (t in seconds).
QString FlyTimeText(double t);  // "2 min 5.7 sec", decimal separator of the user's locale
QString RecTimeText(double t);  // "2:05,7"
QString MinSecText(double t);   // "2:05"

// ---- ORLO data file (.orl) and text export -------------------------------------------

inline constexpr const char* ErrorWritingFile = "Error in writing file.";
inline constexpr const char* ErrorReadingData = "Error reading data from file.";
inline constexpr const char* ErrorUnexpectedEnd = "Unexpected end of file";
inline constexpr const char* ErrorBadHeader = "Bad header of file";

struct TWriteResult {
    bool Ok = false;
    QString Error;  // "Error in writing file." when !Ok
};

// Creates or replaces the file. The previous file stays intact when the write fails.
//
// A block with annotations gets one more section after "</Text>", which readers that
// stop at "</Text>" never see: "<Annotations>", one line per annotation
// "time,value,text" (shortest round-trip numbers with "."; "\\", "\r" and "\n" stand
// for a backslash, CR and LF of the text), then "</Annotations>".
TWriteResult WriteDataFile(const QString& path, const TDataBlock& block);
// The text WriteDataFile writes.
std::string DataFileText(const TDataBlock& block);

enum class TReadOutcome {
    Ok,
    // A failure the opener reports with the path; the block must not be opened.
    Failed,
    // An input/output error: Message is to be shown in an error box, Count is the
    // number of sample lines counted before it, and the block is filled as far as the
    // reader got (all of its series keep one length).
    IoError
};

struct TReadResult {
    int Count = 0;  // number of sample lines
    TReadOutcome Outcome = TReadOutcome::Ok;
    QString Message;
};

// Fills block from the data file. An empty path gives Count 0 and leaves block as it is.
TReadResult ReadDataFile(const QString& path, TDataBlock& block);
// The same on the file's bytes.
TReadResult ReadDataBytes(std::string_view bytes, TDataBlock& block);

struct TExportResult {
    int Code = 0;   // 0 on success, -1 after a write failure
    QString Error;  // "Error in writing file." on failure
};

// Comma-separated text of a block, headed by the file-name part of sourceName.
TExportResult ExportText(const QString& sourceName, const QString& path, const TDataBlock& block);
std::string ExportTextBytes(std::string_view sourceFileName, const TDataBlock& block);

// ---- names of batch-saved blocks ------------------------------------------------------

struct TSaveName {
    bool Ok = false;
    QString Folder;  // with a trailing '/'
    QString BaseName;
    int Number = 0;
    QString Error;  // "Cannot create directory<folder>" when !Ok
};

// Folder, name stem and first number for the batch save, from the default folder and
// default file name of the save settings. Creates the folder when it is missing.
TSaveName MakeSaveName(const QString& defaultFolder, const QString& defaultFileName);
// folder + baseName + number with at least three digits + ".orl".
QString BatchFileName(const QString& folder, const QString& baseName, int number);

}  // namespace orlo
