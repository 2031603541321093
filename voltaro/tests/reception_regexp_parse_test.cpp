// Header and data lines of a definition-file parser: result flags, columns and
// formulas, block naming, battery rules and the silence time-out.
#include "reception_RxpFiles.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/DataSample.h"
#include "voltaro/reception/CProtParser_Regexp.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace voltaro;
using voltaro::testing::ManualClock;
using voltaro::testing::RxpFolder;

class RegexpParse : public ::testing::Test {
protected:
    // Loads a parser from the definition text; fails the test when refused.
    CProtParser_Regexp& load(const std::string& text, const char* fileName = "dev.rxp") {
        parser = std::make_unique<CProtParser_Regexp>(clock.fn());
        QString error;
        const QString path = folder.write(QString::fromLatin1(fileName), text);
        EXPECT_TRUE(parser->LoadDefinition(path, &error)) << error.toStdString();
        return *parser;
    }
    int data(std::string_view line, bool complete = true) {
        sample = DataSample{};
        return parser->ParseData(block, line, complete, &sample);
    }

    RxpFolder folder;
    ManualClock clock;
    std::unique_ptr<CProtParser_Regexp> parser;
    CDataBlock block;
    DataSample sample;
};

const std::string kExample =
    "TITLE = Example\n"
    "HEAD = ^START,(\\w+),(\\w+)\n"
    "HEAD_IX_NAME = 1\n"
    "HEAD_IX_BATT = 2\n"
    "BATT1_IF = ^NiMH\n"
    "BATT1_THEN = NiMH1\n"
    "BATT2_IF = .\n"
    "BATT2_THEN = *\n"
    "DATA = ^D,(\\d+),(\\d+),(\\d+)\n"
    "DATA_IX_T = 1\n"
    "DATA_IX_U = 2\n"
    "DATA_IX_I = 3\n"
    "DATA_EXPRESSION_U = u/1000\n"
    "DATA_EXPRESSION_I = i/1000\n"
    "ENDBLOCK = ^END\n"
    "IGNORE1 = ^#\n"
    "TIMEOUT = 30\n";

struct FlagCase {
    const char* line;
    bool complete;
    int flags;
};

TEST_F(RegexpParse, ResultFlagsOfDataLines) {
    load(kExample + "ENDSESSION = BYE|^#bye\n");
    const FlagCase cases[] = {
        {"D,120,12450,1500", true, PF_SAMPLE | PF_CONSUMED},
        {"D,120,12450,1500", false, 0},  // incomplete lines wait
        {"# a comment", true, PF_CONSUMED},
        {"#bye", true, PF_CONSUMED},  // ignored, although it would end the session
        {"", true, PF_CONSUMED},
        {"END", true, PF_NEXT_BLOCK | PF_CONSUMED},
        {"D,5,1,1 END", true, PF_SAMPLE | PF_CONSUMED},  // ENDBLOCK is anchored
        {"BYE", true, PF_FINISH | PF_CONSUMED},
        {"garbage", true, PF_UNRECOGNISED},
        {"START,Charge,NiMH", true, PF_UNRECOGNISED},  // a header is no data
    };
    for (const FlagCase& c : cases)
        EXPECT_EQ(data(c.line, c.complete), c.flags) << c.line;
}

TEST_F(RegexpParse, DataLineThatAlsoEndsTheBlockIsStored) {
    load("DATA = ^(\\d+);(\\d+)(;LAST)?\nDATA_IX_T = 1\nDATA_IX_U = 2\nENDBLOCK = ;LAST$\n");
    EXPECT_EQ(data("60;7;LAST"), PF_SAMPLE | PF_CONSUMED | PF_NEXT_BLOCK);
    EXPECT_FLOAT_EQ(sample.T, 60.0f);
    EXPECT_FLOAT_EQ(sample.U, 7.0f);
}

TEST_F(RegexpParse, HeaderNamesTheBlockThroughTheBatteryRules) {
    load(kExample);
    struct {
        const char* line;
        const char* name;
    } cases[] = {
        {"START,Charge,NiMH", "Charge NiMH1"},
        {"START,Discharge,LiPo", "Discharge LiPo"},  // rule 2: the text itself
        {"  START,Balance,x  ", nullptr},            // anchored: not a header
    };
    for (const auto& c : cases) {
        CDataBlock b;
        const int flags = parser->ParseHeader(b, c.line, true);
        if (!c.name) {
            EXPECT_EQ(flags, 0) << c.line;
            continue;
        }
        EXPECT_EQ(flags, PF_CONSUMED) << c.line;
        EXPECT_EQ(b.m_strName, c.name);
        EXPECT_EQ(b.m_strInfo, c.line);
        EXPECT_EQ(b.m_strDevice, "Example");
        EXPECT_TRUE(b.m_bAutoNamed);
        EXPECT_TRUE(b.m_bBatteryPending);
    }
    CDataBlock b;
    EXPECT_EQ(parser->ParseHeader(b, "START,Charge,NiMH", false), 0);  // incomplete
    EXPECT_TRUE(b.m_strName.empty());
}

TEST_F(RegexpParse, HeaderTrimsTheInfoAndFallsBackToTheTitle) {
    // Group 3 of the name does not exist in a two-group pattern: the title.
    load(
        "TITLE = Dev\nHEAD = START (\\w+)( \\w+)?\nHEAD_IX_NAME = 3\nHEAD_IX_BATT = 2\n"
        "BATT1_IF = x\nBATT1_THEN = X\nDATA = ^(\\d+)\nDATA_IX_T = 1\n");
    parser->ParseHeader(block, " \t START abc\t ", true);
    EXPECT_EQ(block.m_strInfo, "START abc");
    EXPECT_EQ(block.m_strName, "Dev");  // group 2 took no part: no battery rule matched
    parser->ParseHeader(block, "START abc x", true);
    EXPECT_EQ(block.m_strName, "Dev X");
}

TEST_F(RegexpParse, NoHeaderPatternRecognisesNoHeader) {
    load("DATA = (.*)\nDATA_IX_T = 1\n");
    EXPECT_EQ(parser->ParseHeader(block, "anything", true), 0);
}

TEST_F(RegexpParse, ColumnsAndFormulasGiveTheSample) {
    load(kExample);
    ASSERT_EQ(data("D,120,12450,1500"), PF_SAMPLE | PF_CONSUMED);
    EXPECT_FLOAT_EQ(sample.T, 120.0f);
    EXPECT_FLOAT_EQ(sample.U, 12.45f);
    EXPECT_FLOAT_EQ(sample.I, 1.5f);
    EXPECT_FLOAT_EQ(sample.R, 0.0f);
}

struct FormulaCase {
    const char* name;
    std::string keys;  // added to a DATA with four columns
    const char* line;
    float t, u, i, r;
};

TEST_F(RegexpParse, FormulasPerLine) {
    const std::string base =
        "DATA = ^(\\S*) (\\S*) (\\S*) (\\S*)\nDATA_IX_T = 1\nDATA_IX_U = 2\nDATA_IX_I = 3\n"
        "DATA_IX_R = 4\n";
    const FormulaCase cases[] = {
        {"plain columns", "", "1 2 3 4", 1, 2, 3, 4},
        {"unreadable column is 0", "", "x 2.5e1 -3 0x10", 0, 25, -3, 16},
        {"names in any case", "DATA_EXPRESSION_T = T+u+I+r\n", "1 2 3 4", 10, 2, 3, 4},
        {"error falls back to the column", "DATA_EXPRESSION_U = u/0\nDATA_EXPRESSION_I = (i\n",
         "1 2 3 4", 1, 2, 3, 4},
        {"unknown name falls back", "DATA_EXPRESSION_R = rpm*2\n", "1 2 3 4", 1, 2, 3, 4},
        {"built-in functions remain", "DATA_EXPRESSION_I = abs(i)\nDATA_EXPRESSION_R = sqrt(r)\n",
         "1 2 -3 16", 1, 2, 3, 4},
        {"assignment seen by the next formula",
         "DATA_EXPRESSION_T = k=10; t*k\nDATA_EXPRESSION_U = u*k\nDATA_EXPRESSION_I = t\n",
         "1 2 3 4", 10, 20, 1, 4},
        {"assigning a column name shadows it",
         "DATA_EXPRESSION_T = t=t*2; t\nDATA_EXPRESSION_U = t\n", "1 2 3 4", 2, 2, 3, 4},
        {"order is T U I R", "DATA_EXPRESSION_T = k\nDATA_EXPRESSION_U = k=5; u\n", "1 2 3 4", 1, 2,
         3, 4},
    };
    for (const FormulaCase& c : cases) {
        load(base + c.keys);
        ASSERT_EQ(data(c.line), PF_SAMPLE | PF_CONSUMED) << c.name;
        EXPECT_FLOAT_EQ(sample.T, c.t) << c.name;
        EXPECT_FLOAT_EQ(sample.U, c.u) << c.name;
        EXPECT_FLOAT_EQ(sample.I, c.i) << c.name;
        EXPECT_FLOAT_EQ(sample.R, c.r) << c.name;
    }
}

TEST_F(RegexpParse, NothingSurvivesToTheNextLine) {
    load("DATA = ^(\\d+)\nDATA_IX_T = 1\nDATA_EXPRESSION_T = k\nDATA_EXPRESSION_U = k=t; 0\n");
    data("7");
    EXPECT_FLOAT_EQ(sample.T, 7.0f);  // k unknown: the column
    data("9");
    EXPECT_FLOAT_EQ(sample.T, 9.0f);  // k of the line before is gone
}

TEST_F(RegexpParse, FewerGroupsThanTheIndexGiveZero) {
    load("DATA = ^D,(\\d+),(\\d+)\nDATA_IX_T = 1\nDATA_IX_U = 2\nDATA_IX_I = 3\n");
    ASSERT_EQ(data("D,10,12000"), PF_SAMPLE | PF_CONSUMED);
    EXPECT_FLOAT_EQ(sample.T, 10.0f);
    EXPECT_FLOAT_EQ(sample.U, 12000.0f);
    EXPECT_FLOAT_EQ(sample.I, 0.0f);
}

TEST_F(RegexpParse, ProbeWithoutSampleStillClaimsTheLine) {
    load(kExample);
    EXPECT_EQ(parser->ParseData(block, "D,1,2,3", true, nullptr), PF_SAMPLE | PF_CONSUMED);
}

TEST_F(RegexpParse, DataLinesNameABlockWithoutHeader) {
    load(
        "TITLE = Logger\nDATA = ^(\\d+);(\\w*);(\\w*)\nDATA_IX_T = 1\nDATA_IX_NAME = 2\n"
        "DATA_IX_BATT = 3\nBATT1_IF = ^Li\nBATT1_THEN = LiX\n");
    data("1;;Pb");  // empty name text, no battery rule
    EXPECT_EQ(block.m_strName, "Logger");
    EXPECT_EQ(block.m_strDevice, "Logger");
    EXPECT_TRUE(block.m_bAutoNamed);
    EXPECT_TRUE(block.m_bBatteryPending);
    data("2;Climb;LiPo");
    EXPECT_EQ(block.m_strName, "Logger Climb LiX");
    EXPECT_FALSE(block.m_bAutoNamed);
    EXPECT_FALSE(block.m_bBatteryPending);
    data("3;Cruise;LiIon");  // appended once only
    EXPECT_EQ(block.m_strName, "Logger Climb LiX");
}

TEST_F(RegexpParse, DataKeepsTheNameAHeaderGave) {
    load(kExample + "DATA_IX_BATT = 2\n");
    ASSERT_EQ(parser->ParseHeader(block, "START,Charge,NiMH", true), PF_CONSUMED);
    data("D,1,2,3");
    // Still pending after the header: a data battery is appended as well.
    EXPECT_EQ(block.m_strName, "Charge NiMH1 2");
    EXPECT_EQ(block.m_strDevice, "Example");
}

TEST_F(RegexpParse, TimeOutAfterSilence) {
    load(kExample);
    clock.set(5000);
    EXPECT_FALSE(parser->IsTimedOut());  // no sample yet
    data("D,1,2,3");
    clock.advance(30000);
    EXPECT_FALSE(parser->IsTimedOut());  // exactly 30 s: not yet
    clock.advance(1);
    EXPECT_TRUE(parser->IsTimedOut());
    data("D,2,2,3");
    EXPECT_FALSE(parser->IsTimedOut());  // a sample restarts the wait
    clock.advance(40000);
    CDataBlock next;
    parser->ParseHeader(next, "START,Charge,NiMH", true);
    EXPECT_FALSE(parser->IsTimedOut());  // a header forgets the last sample
    data("# comment");
    clock.advance(40000);
    EXPECT_FALSE(parser->IsTimedOut());  // ignored lines are no samples
}

TEST_F(RegexpParse, TimeOutAtClockZeroAndAcrossTheWrap) {
    load(kExample);
    clock.set(0);
    data("D,1,2,3");  // a sample at tick 0 still counts
    clock.set(30001);
    EXPECT_TRUE(parser->IsTimedOut());
    clock.set(0xFFFFFFFFll - 1000);  // the 32-bit tick wraps during the wait
    data("D,2,2,3");
    clock.set(0x100000000ll + 28000);
    EXPECT_FALSE(parser->IsTimedOut());
    clock.set(0x100000000ll + 29500);
    EXPECT_TRUE(parser->IsTimedOut());
}

TEST_F(RegexpParse, NoTimeOutWhenZeroNegativeOrHuge) {
    for (const char* value : {"0", "-10", "abc"}) {
        load(kExample + "TIMEOUT = " + value + "\n");
        data("D,1,2,3");
        clock.advance(1000000);
        EXPECT_FALSE(parser->IsTimedOut()) << value;
    }
    // A time-out beyond what 32 bits of milliseconds hold never fires early.
    load(kExample + "TIMEOUT = 5000000\n");
    data("D,1,2,3");
    clock.advance(3000000000ll);
    EXPECT_FALSE(parser->IsTimedOut());
}

TEST_F(RegexpParse, TranslateBatteryTakesTheFirstMatchingRule) {
    load(kExample);
    std::string name = "unchanged";
    ASSERT_TRUE(parser->TranslateBattery("NiMH", name));
    EXPECT_EQ(name, "NiMH1");
    ASSERT_TRUE(parser->TranslateBattery("Pb", name));
    EXPECT_EQ(name, "Pb");  // "*": the text itself
    name = "unchanged";
    EXPECT_FALSE(parser->TranslateBattery("", name));  // "." needs a character
    EXPECT_EQ(name, "unchanged");
}

}  // namespace
