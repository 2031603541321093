#pragma once
// A parser described by a definition file: KEY = value lines giving regular
// expressions for a device's header, data, end-of-block and end-of-session
// lines, the groups that hold time, voltage, current and revolutions, optional
// formulas that convert them, naming and battery rules and a silence time-out.
//
//   TITLE = Example            DATA = ^D,(\d+),(\d+),(\d+)   DATA_IX_T = 1
//   HEAD = ^START,(\w+),(\w+)  DATA_IX_U = 2                 DATA_EXPRESSION_U = u/1000
//   HEAD_IX_NAME = 1           HEAD_IX_BATT = 2              BATT1_IF = ^NiMH
//   BATT1_THEN = NiMH1         BATT2_IF = .                  BATT2_THEN = *
//   ENDBLOCK = ^END            IGNORE1 = ^#                  TIMEOUT = 30
//
// Keys are case-insensitive; group numbers are 1-based in the file and kept
// 0-based here (-1: none). Numbered keys (BATTn_IF, BATTn_THEN, IGNOREn) are read
// from 1 up to the first gap.

#include "voltaro/graph/ExpressionProgram.h"
#include "voltaro/reception/CProtParser.h"
#include "voltaro/reception/ScriptRegExp.h"
#include "voltaro/reception/StreamReading.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voltaro {

class CProtParser_Regexp : public CProtParser {
public:
    // Message texts of a definition that cannot be used.
    static constexpr const char* kMissingData =
        "Parser '%1' definition file should contain \"DATA\" format.";  // 4013
    static constexpr const char* kMissingTimeIndex =
        "Parser '%1' definition does not contain time data index.";                       // 4014
    static constexpr const char* kBadExpression = "Parser '%1' error in expression %2.";  // 4015

    // The clock gives the milliseconds of the silence time-out.
    explicit CProtParser_Regexp(platform::Clock clock = platform::SteadyClock());

    // Reads the definition file. False when it cannot be used; the message for
    // the user goes to *error.
    bool LoadDefinition(const QString& path, QString* error = nullptr);
    // The same from the file's bytes; fileName names it in the messages.
    bool LoadDefinitionText(std::string_view text, const QString& fileName,
                            QString* error = nullptr);

    int ParseHeader(CDataBlock& block, std::string_view line, bool bComplete) override;
    int ParseData(CDataBlock& block, std::string_view line, bool bComplete,
                  DataSample* pSample) override;
    bool IsTimedOut() override;

    // The name the battery rules give the text; false when no rule matches.
    bool TranslateBattery(std::string_view text, std::string& name) const;

    // From the definition file.
    std::string m_strParserTitle;
    std::string m_strHead;
    std::string m_strData;
    std::string m_strEndBlock;
    std::string m_strEndSession;
    std::string m_strExprT, m_strExprU, m_strExprI, m_strExprR;
    int m_nTimeout = 0;  // seconds; 0 or less: none
    int m_ixHeadName = -1;
    int m_ixDataName = -1;
    int m_ixHeadBatt = -1;
    int m_ixDataBatt = -1;
    int m_ixT = -1, m_ixU = -1, m_ixI = -1, m_ixR = -1;
    std::vector<std::string> m_battIf;
    std::vector<std::string> m_battThen;
    std::vector<std::string> m_ignore;

    // Clock reading of the last sample; m_bSampleSeen false: none since the last
    // header. (A flag rather than the value 0, which the clock may well read.)
    std::uint32_t m_nLastSampleTick = 0;
    bool m_bSampleSeen = false;

private:
    std::uint32_t Tick() const;

    platform::Clock m_clock;
    ScriptRegExp m_reHead, m_reData, m_reEndBlock, m_reEndSession;
    std::vector<ScriptRegExp> m_reBattIf;
    std::vector<ScriptRegExp> m_reIgnore;
    ExpressionProgram m_progT, m_progU, m_progI, m_progR;
};

// "%i" of the C scanner: white space, a sign, then "0x" and hexadecimal digits,
// a leading 0 and octal digits, or decimal digits; stops at the first character
// that does not fit. Nothing when no digit could be read. Out-of-range values
// are clamped.
std::optional<int> ScanIntegerLikeC(std::string_view text);
// "%lf" of the C scanner, independent of the locale; nothing when unreadable.
std::optional<double> ScanDoubleLikeC(std::string_view text);

}  // namespace voltaro
