// Loading definition files: the KEY = value syntax, every key, integer reading,
// numbered keys up to the first gap and the checks that refuse a file.
#include "reception_RxpFiles.h"
#include "voltaro/reception/CProtParser_Regexp.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using voltaro::CProtParser_Regexp;
using voltaro::testing::RxpFolder;

struct DefinitionCase {
    const char* name;      // test name
    const char* fileName;  // the definition file's name
    std::string text;
    // Empty: the file loads. Otherwise the message the user gets.
    std::string error;
    std::function<void(const CProtParser_Regexp&)> check = {};
};

void PrintTo(const DefinitionCase& c, std::ostream* os) {
    *os << c.name;
}

class DefinitionFile : public ::testing::TestWithParam<DefinitionCase> {};

TEST_P(DefinitionFile, LoadsOrIsRefused) {
    const DefinitionCase& c = GetParam();
    RxpFolder folder;
    const QString path = folder.write(QString::fromLatin1(c.fileName), c.text);
    CProtParser_Regexp parser;
    QString error;
    const bool loaded = parser.LoadDefinition(path, &error);
    EXPECT_EQ(loaded, c.error.empty()) << error.toStdString();
    EXPECT_EQ(error.toStdString(), c.error);
    if (c.check)
        c.check(parser);
}

const std::string kMinimal = "DATA = ^D,(\\d+)\nDATA_IX_T = 1\n";

INSTANTIATE_TEST_SUITE_P(
    Keys, DefinitionFile,
    ::testing::Values(
        DefinitionCase{"Minimal", "dev.rxp", kMinimal, "",
                       [](const CProtParser_Regexp& p) {
                           EXPECT_EQ(p.m_strParserTitle, "dev");
                           EXPECT_EQ(p.m_strData, "^D,(\\d+)");
                           EXPECT_EQ(p.m_ixT, 0);
                           EXPECT_EQ(p.m_ixU, -1);
                           EXPECT_EQ(p.m_ixI, -1);
                           EXPECT_EQ(p.m_ixR, -1);
                           EXPECT_EQ(p.m_ixHeadName, -1);
                           EXPECT_EQ(p.m_nTimeout, 0);
                           EXPECT_TRUE(p.m_strHead.empty());
                           EXPECT_TRUE(p.m_battIf.empty());
                           EXPECT_TRUE(p.m_ignore.empty());
                       }},
        // The title defaults to the name without its last extension.
        DefinitionCase{
            "TitleFromFileName", "my.device.rxp", kMinimal, "",
            [](const CProtParser_Regexp& p) { EXPECT_EQ(p.m_strParserTitle, "my.device"); }},
        DefinitionCase{"EveryKey", "all.rxp",
                       "TITLE = Bench charger\r\n"
                       "HEAD = ^START,(\\w+)\r\n"
                       "DATA = ^D,(\\d+),(\\d+),(\\d+),(\\d+),(\\w+),(\\w+)\r\n"
                       "ENDBLOCK = ^END\r\n"
                       "ENDSESSION = ^BYE\r\n"
                       "DATA_IX_T = 1\r\nDATA_IX_U = 2\r\nDATA_IX_I = 3\r\nDATA_IX_R = 4\r\n"
                       "DATA_IX_NAME = 5\r\nDATA_IX_BATT = 6\r\n"
                       "HEAD_IX_NAME = 1\r\nHEAD_IX_BATT = 2\r\n"
                       "DATA_EXPRESSION_T = t*60\r\nDATA_EXPRESSION_U = u/1000\r\n"
                       "DATA_EXPRESSION_I = i/1000\r\nDATA_EXPRESSION_R = r*2\r\n"
                       "BATT1_IF = ^Li\r\nBATT1_THEN = LiX\r\n"
                       "IGNORE1 = ^#\r\nIGNORE2 = ^;\r\n"
                       "TIMEOUT = 45\r\n",
                       "",
                       [](const CProtParser_Regexp& p) {
                           EXPECT_EQ(p.m_strParserTitle, "Bench charger");
                           EXPECT_EQ(p.m_strHead, "^START,(\\w+)");
                           EXPECT_EQ(p.m_strEndBlock, "^END");
                           EXPECT_EQ(p.m_strEndSession, "^BYE");
                           EXPECT_EQ(p.m_ixT, 0);
                           EXPECT_EQ(p.m_ixU, 1);
                           EXPECT_EQ(p.m_ixI, 2);
                           EXPECT_EQ(p.m_ixR, 3);
                           EXPECT_EQ(p.m_ixDataName, 4);
                           EXPECT_EQ(p.m_ixDataBatt, 5);
                           EXPECT_EQ(p.m_ixHeadName, 0);
                           EXPECT_EQ(p.m_ixHeadBatt, 1);
                           EXPECT_EQ(p.m_strExprT, "t*60");
                           EXPECT_EQ(p.m_strExprU, "u/1000");
                           EXPECT_EQ(p.m_strExprI, "i/1000");
                           EXPECT_EQ(p.m_strExprR, "r*2");
                           EXPECT_EQ(p.m_battIf, std::vector<std::string>{"^Li"});
                           EXPECT_EQ(p.m_battThen, std::vector<std::string>{"LiX"});
                           EXPECT_EQ(p.m_ignore, (std::vector<std::string>{"^#", "^;"}));
                           EXPECT_EQ(p.m_nTimeout, 45);
                       }},
        // Keys in any case; values keep everything after the first "=", trimmed;
        // the later of two lines wins; other lines are ignored.
        DefinitionCase{"SyntaxOfLines", "syntax.rxp",
                       "  data_ix_t = 2\n"
                       "Data=^(\\w+)=(\\d+)\n"
                       "# TITLE = commented out\n"
                       "just some words\n"
                       "\n"
                       "TITLE =   first  \n"
                       "title\t=\t Second = title \t\n",
                       "",
                       [](const CProtParser_Regexp& p) {
                           EXPECT_EQ(p.m_ixT, 1);
                           EXPECT_EQ(p.m_strData, "^(\\w+)=(\\d+)");
                           EXPECT_EQ(p.m_strParserTitle, "Second = title");
                       }},
        // Integers read like "%i".
        DefinitionCase{"HexadecimalIndex", "hex.rxp", kMinimal + "DATA_IX_U = 0x3\n", "",
                       [](const CProtParser_Regexp& p) { EXPECT_EQ(p.m_ixU, 2); }},
        DefinitionCase{"OctalIndexAndTrailingText", "oct.rxp",
                       kMinimal + "DATA_IX_U = 010\nDATA_IX_I = 3 (amps)\nDATA_IX_R = rpm\n", "",
                       [](const CProtParser_Regexp& p) {
                           EXPECT_EQ(p.m_ixU, 7);
                           EXPECT_EQ(p.m_ixI, 2);
                           EXPECT_EQ(p.m_ixR, -1);
                       }},
        DefinitionCase{"TimeoutValues", "timeout.rxp", kMinimal + "TIMEOUT = -5\n", "",
                       [](const CProtParser_Regexp& p) { EXPECT_EQ(p.m_nTimeout, -5); }},
        DefinitionCase{"UnreadableTimeout", "timeout2.rxp", kMinimal + "TIMEOUT = soon\n", "",
                       [](const CProtParser_Regexp& p) { EXPECT_EQ(p.m_nTimeout, 0); }},
        // Battery rules and ignore patterns stop at the first gap; an _IF without
        // its _THEN is checked but makes no rule.
        DefinitionCase{"BatteryRulesStopAtGap", "gap.rxp",
                       kMinimal + "BATT1_IF = ^A\nBATT1_THEN = a\nBATT3_IF = ((\nBATT3_THEN = c\n"
                                  "IGNORE1 = ^#\nIGNORE3 = ((\n",
                       "",
                       [](const CProtParser_Regexp& p) {
                           EXPECT_EQ(p.m_battIf, std::vector<std::string>{"^A"});
                           EXPECT_EQ(p.m_battThen, std::vector<std::string>{"a"});
                           EXPECT_EQ(p.m_ignore, std::vector<std::string>{"^#"});
                       }},
        DefinitionCase{"BatteryIfWithoutThen", "nothen.rxp",
                       kMinimal + "BATT1_IF = ^A\nBATT1_THEN = a\nBATT2_IF = ^B\n"
                                  "BATT3_IF = ^C\nBATT3_THEN = *\n",
                       "",
                       [](const CProtParser_Regexp& p) {
                           EXPECT_EQ(p.m_battIf, (std::vector<std::string>{"^A", "^C"}));
                           EXPECT_EQ(p.m_battThen, (std::vector<std::string>{"a", "*"}));
                           std::string name;
                           EXPECT_FALSE(p.TranslateBattery("B1", name));
                           ASSERT_TRUE(p.TranslateBattery("C7", name));
                           EXPECT_EQ(name, "C7");
                       }},
        // Refused files.
        DefinitionCase{"MissingData", "nodata.rxp", "DATA_IX_T = 1\n",
                       "Parser 'nodata.rxp' definition file should contain \"DATA\" format."},
        DefinitionCase{"EmptyData", "emptydata.rxp", "DATA =\nDATA_IX_T = 1\n",
                       "Parser 'emptydata.rxp' definition file should contain \"DATA\" format."},
        DefinitionCase{"MissingTimeIndex", "notime.rxp", "DATA = (\\d+)\n",
                       "Parser 'notime.rxp' definition does not contain time data index."},
        DefinitionCase{"ZeroTimeIndex", "zero.rxp", "DATA = (\\d+)\nDATA_IX_T = 0\n",
                       "Parser 'zero.rxp' definition does not contain time data index."},
        // Octal reading stops at the 8: the value is 0.
        DefinitionCase{"OctalStopsAtEight", "eight.rxp", "DATA = (\\d+)\nDATA_IX_T = 08\n",
                       "Parser 'eight.rxp' definition does not contain time data index."},
        DefinitionCase{"NegativeTimeIndex", "neg.rxp", "DATA = (\\d+)\nDATA_IX_T = -1\n",
                       "Parser 'neg.rxp' definition does not contain time data index."},
        DefinitionCase{"BadDataPattern", "bad.rxp", "TITLE = Bad\nDATA = (\\d+\nDATA_IX_T = 1\n",
                       "Parser 'Bad' error in expression DATA."},
        DefinitionCase{"BadHeadPattern", "bad.rxp", kMinimal + "HEAD = [x\n",
                       "Parser 'bad' error in expression HEAD."},
        DefinitionCase{"BadEndBlockPattern", "bad.rxp", kMinimal + "ENDBLOCK = a**\n",
                       "Parser 'bad' error in expression ENDBLOCK."},
        DefinitionCase{"BadEndSessionPattern", "bad.rxp", kMinimal + "ENDSESSION = (?<n>x)\n",
                       "Parser 'bad' error in expression ENDSESSION."},
        DefinitionCase{"BadBatteryPattern", "bad.rxp",
                       kMinimal + "BATT1_IF = a\nBATT1_THEN = b\nBATT2_IF = (\n",
                       "Parser 'bad' error in expression BATT2_IF."},
        DefinitionCase{"BadIgnorePattern", "bad.rxp", kMinimal + "IGNORE1 = a\nIGNORE2 = )\n",
                       "Parser 'bad' error in expression IGNORE2."},
        // Patterns are checked before the time index.
        DefinitionCase{"PatternBeforeTimeIndex", "both.rxp", "DATA = (\nHEAD = x\n",
                       "Parser 'both' error in expression DATA."}),
    [](const ::testing::TestParamInfo<DefinitionCase>& info) { return info.param.name; });

TEST(DefinitionFile, UnreadableFileIsRefusedWithItsName) {
    RxpFolder folder;
    CProtParser_Regexp parser;
    QString error;
    const QString missing = folder.path("absent.rxp");
    EXPECT_FALSE(parser.LoadDefinition(missing, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
}

struct IntegerCase {
    const char* text;
    std::optional<int> value;
};

TEST(DefinitionFile, IntegersReadLikeTheCScanner) {
    const IntegerCase cases[] = {
        {"12", 12},
        {"  -7", -7},
        {"+3x", 3},
        {"0x1F", 31},
        {"0X1f", 31},
        {"-0x10", -16},
        {"010", 8},
        {"08", 0},
        {"0", 0},
        {"0x", 0},
        {"0xg", 0},
        {"abc", {}},
        {"", {}},
        {"-", {}},
        {"12 34", 12},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const IntegerCase& c : cases)
        EXPECT_EQ(voltaro::ScanIntegerLikeC(c.text), c.value) << '"' << c.text << '"';
}

struct DoubleCase {
    const char* text;
    std::optional<double> value;
};

TEST(DefinitionFile, NumbersReadLikeTheCScannerInAnyLocale) {
    const DoubleCase cases[] = {
        {"12.5", 12.5}, {" -3e2", -300.0}, {"+.5", 0.5},        {"1,5", 1.0},
        {"7.", 7.0},    {"0x10", 16.0},    {"2e", 2.0},         {"abc", {}},
        {"", {}},       {"-", {}},         {"1e999", HUGE_VAL}, {"1e-999", 0.0},
    };
    for (const DoubleCase& c : cases)
        EXPECT_EQ(voltaro::ScanDoubleLikeC(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
