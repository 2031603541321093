// The example definition files of the parsers folder, end to end: their
// captures go byte by byte through the receiver, next to the KOVA parser.
#include "items_RecordingDocument.h"
#include "reception_RxpFiles.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/CProtParser_Regexp.h"
#include "voltaro/reception/DefinitionParsers.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/Receiver.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace voltaro;
using voltaro::testing::ManualClock;
using voltaro::testing::RecordingDocument;

QString examplesFolder() {
    return QDir(QStringLiteral(TEST_DATA_DIR "/../../../examples/parsers")).absolutePath();
}

std::string readExample(const char* name) {
    QFile f(examplesFolder() + QLatin1Char('/') + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll().toStdString();
}

class ExampleParsers : public ::testing::Test {
protected:
    ExampleParsers() {
        parsers.Add(std::make_unique<CProtParser_Kova>());
        LoadDefinitionParsers(
            examplesFolder(), parsers,
            [this](const QString& text) { refused.push_back(text.toStdString()); }, clock.fn());
        state.m_pDocument = &doc;
    }

    // Feeds the bytes; the index of the byte at which the receiver said stop, or -1.
    long feed(Receiver& r, std::string_view bytes) {
        for (std::size_t k = 0; k < bytes.size(); ++k)
            if (r.PutChar(static_cast<unsigned char>(bytes[k])) == 0)
                return static_cast<long>(k);
        return -1;
    }
    Receiver receiver() {
        return Receiver(state, parsers, [] { return std::string("11.12.2026 12:00:00"); });
    }
    std::vector<const CDataBlock*> blocks() const {
        std::vector<const CDataBlock*> out;
        if (state.m_pSession)
            for (const CDataBlock* b : state.m_pSession->m_blocks)
                out.push_back(b);
        return out;
    }

    ManualClock clock;
    RecordingDocument doc;
    ParserList parsers;
    ReceiverState state;
    std::vector<std::string> refused;
};

TEST_F(ExampleParsers, AllExampleDefinitionsLoadInOrder) {
    EXPECT_TRUE(refused.empty());
    ASSERT_EQ(parsers.GetCount(), 3u);
    const auto* example = dynamic_cast<CProtParser_Regexp*>(parsers.GetAt(1));
    const auto* mercury = dynamic_cast<CProtParser_Regexp*>(parsers.GetAt(2));
    ASSERT_TRUE(example && mercury);
    EXPECT_EQ(example->m_strParserTitle, "Example");
    EXPECT_EQ(mercury->m_strParserTitle, "Mercury 4");
    EXPECT_EQ(mercury->m_nTimeout, 60);
}

TEST_F(ExampleParsers, WorkedExampleCapture) {
    Receiver r = receiver();
    EXPECT_EQ(feed(r, readExample("Example-capture.txt")), -1);
    const auto b = blocks();
    ASSERT_EQ(b.size(), 2u);

    const CDataBlock& charge = *b[0];
    EXPECT_EQ(charge.m_strName, "Charge NiMH1");
    EXPECT_EQ(charge.m_strInfo, "START,Charge,NiMH");
    EXPECT_EQ(charge.m_strDevice, "Example");
    EXPECT_EQ(charge.m_pParser, parsers.GetAt(1));
    ASSERT_EQ(charge.m_samples.size(), 5u);
    EXPECT_FLOAT_EQ(charge.m_samples[0].T, 120.0f);
    EXPECT_FLOAT_EQ(charge.m_samples[0].U, 12.45f);
    EXPECT_FLOAT_EQ(charge.m_samples[0].I, 1.5f);
    EXPECT_NEAR(charge.m_samples[0].C, 1.5 * 120 / 3600, 1e-6);  // derived by the block
    EXPECT_EQ(charge.m_samples[0].Text(), "D,120,12450,1500");
    EXPECT_FLOAT_EQ(charge.m_samples[4].T, 360.0f);
    EXPECT_FLOAT_EQ(charge.m_samples[4].U, 13.08f);

    const CDataBlock& discharge = *b[1];
    EXPECT_EQ(discharge.m_strName, "Discharge LiPo");
    ASSERT_EQ(discharge.m_samples.size(), 4u);
    EXPECT_FLOAT_EQ(discharge.m_samples[3].T, 120.0f);
    EXPECT_FLOAT_EQ(discharge.m_samples[3].I, 2.0f);

    // Comments and the empty line between the runs are not bad lines.
    EXPECT_EQ(state.m_nBad, 0);
    EXPECT_EQ(state.m_pBlock, nullptr);  // END ended the last block
}

TEST_F(ExampleParsers, UnknownLinesInsideABlockAreBad) {
    Receiver r = receiver();
    feed(r, "START,Charge,NiMH\r\nD,1,12000,1000\r\nTEMP 31\r\n\r\nD,2,12010,1000\r\n");
    ASSERT_EQ(blocks().size(), 1u);
    EXPECT_EQ(blocks()[0]->m_samples.size(), 2u);
    EXPECT_EQ(state.m_nBad, 1);
    EXPECT_NE(state.m_pBlock, nullptr);
}

TEST_F(ExampleParsers, SilenceEndsTheOnlineBlock) {
    state.m_bOnline = true;
    Receiver r = receiver();
    clock.set(1000);
    feed(r, "START,Charge,NiMH\r\nD,120,12450,1500\r\n");
    ASSERT_NE(state.m_pBlock, nullptr);
    clock.advance(30000);
    EXPECT_EQ(r.PutChar(0), 1);
    clock.advance(1);
    EXPECT_EQ(r.PutChar(0), 0);
    EXPECT_EQ(state.m_pBlock, nullptr);
    ASSERT_EQ(blocks().size(), 1u);
    EXPECT_EQ(blocks()[0]->m_samples.size(), 1u);  // the block keeps what came
}

TEST_F(ExampleParsers, SilenceDoesNotMatterOffline) {
    Receiver r = receiver();
    feed(r, "START,Charge,NiMH\r\nD,120,12450,1500\r\n");
    clock.advance(100000);
    EXPECT_EQ(r.PutChar(0), 1);
    EXPECT_NE(state.m_pBlock, nullptr);
}

TEST_F(ExampleParsers, ChargerCaptureEndsWithTheLink) {
    Receiver r = receiver();
    const std::string capture = readExample("Mercury4-capture.txt");
    const long stop = feed(r, capture);
    // Reception stops at the line end of the closing line.
    const std::size_t closing = capture.find("MERCURY4;LINK;CLOSED");
    ASSERT_NE(closing, std::string::npos);
    EXPECT_EQ(stop, static_cast<long>(closing + std::string("MERCURY4;LINK;CLOSED").size()));

    const auto b = blocks();
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0]->m_strName, "CHARGE LiPo");
    EXPECT_EQ(b[0]->m_strDevice, "Mercury 4");
    EXPECT_EQ(b[0]->m_samples.size(), 12u);
    EXPECT_FLOAT_EQ(b[0]->m_samples[0].U, 11.247f);
    EXPECT_FLOAT_EQ(b[0]->m_samples[0].I, 2.0f);
    EXPECT_EQ(b[1]->m_strName, "DISCHARGE LiPo");
    EXPECT_EQ(b[1]->m_samples.size(), 8u);
    EXPECT_FLOAT_EQ(b[1]->m_samples[0].I, 3.0f);  // the sign dropped by the formula
    EXPECT_FLOAT_EQ(b[1]->m_samples[7].T, 16.0f);
    EXPECT_EQ(b[2]->m_strName, "CHARGE NiMH");  // no cell count: the group is empty
    EXPECT_EQ(b[2]->m_samples.size(), 3u);
    EXPECT_EQ(state.m_nBad, 0);
}

}  // namespace
