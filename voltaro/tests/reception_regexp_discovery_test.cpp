// Finding the definition files of the parsers folder and building the parser
// list from them: order, the case-sensitive extension, sub-folders after files,
// refused files reported and skipped.
#include "platform/testing/ScriptedPrompts.h"
#include "reception_RxpFiles.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/DataSample.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/CProtParser_Regexp.h"
#include "voltaro/reception/DefinitionParsers.h"
#include "voltaro/reception/ParserList.h"

#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace voltaro;
using voltaro::testing::RxpFolder;

std::string definition(const std::string& title) {
    return "TITLE = " + title + "\nDATA = ^" + title + ",(\\d+)\nDATA_IX_T = 1\n";
}

std::vector<std::string> titles(const ParserList& list, std::size_t from = 0) {
    std::vector<std::string> out;
    for (std::size_t k = from; k < list.GetCount(); ++k) {
        const auto* p = dynamic_cast<const CProtParser_Regexp*>(list.GetAt(k));
        out.push_back(p ? p->m_strParserTitle : std::string("?"));
    }
    return out;
}

QStringList relative(const RxpFolder& folder, const QStringList& paths) {
    QStringList out;
    for (const QString& p : paths)
        out.append(p.mid(folder.root().size() + 1));
    return out;
}

TEST(DefinitionDiscovery, FilesSortedIgnoringCaseThenSubFoldersDepthFirst) {
    RxpFolder folder;
    for (const char* name : {"b.rxp", "A.rxp", "c.txt", "Sample.RXP", "d.rxp.bak", "z/y.rxp",
                             "Sub/Sample.rxp", "Sub/deep/x.rxp", "Sub/a.rxp", "a2/k.rxp"})
        folder.write(QString::fromLatin1(name), definition("t"));
    EXPECT_EQ(relative(folder, FindDefinitionFiles(folder.root())),
              (QStringList{"A.rxp", "b.rxp", "a2/k.rxp", "Sub/a.rxp", "Sub/Sample.rxp",
                           "Sub/deep/x.rxp", "z/y.rxp"}));
}

TEST(DefinitionDiscovery, MissingFolderGivesNothing) {
    RxpFolder folder;
    EXPECT_TRUE(FindDefinitionFiles(folder.path("parsers")).isEmpty());
    EXPECT_TRUE(FindDefinitionFiles(QString()).isEmpty());
}

TEST(DefinitionDiscovery, LinkBackToAParentIsWalkedOnce) {
    RxpFolder folder;
    folder.write("one.rxp", definition("one"));
    folder.write("sub/two.rxp", definition("two"));
    if (!QFile::link(folder.root(), folder.path("sub/loop")))
        GTEST_SKIP() << "no symbolic links here";
    EXPECT_EQ(relative(folder, FindDefinitionFiles(folder.root())),
              (QStringList{"one.rxp", "sub/two.rxp"}));
}

TEST(DefinitionDiscovery, ParserListHasKovaFirstAndSkipsRefusedFiles) {
    RxpFolder folder;
    folder.write("b.rxp", definition("Bee"));
    folder.write("A.rxp", definition("Ay"));
    folder.write("Broken.rxp", "TITLE = Broken\nDATA_IX_T = 1\n");
    folder.write("C.rxp", "TITLE = Sea\nDATA = (\nDATA_IX_T = 1\n");
    folder.write("more/d.rxp", definition("Dee"));
    folder.write("more/e.rxp", "DATA = x\n");

    platform::ScriptedPrompts prompts;
    ParserList list;
    BuildParserList(list, folder.root(), DefinitionFileLoader(prompts));
    ASSERT_EQ(list.GetCount(), 4u);
    EXPECT_NE(dynamic_cast<CProtParser_Kova*>(list.GetAt(0)), nullptr);
    EXPECT_EQ(titles(list, 1), (std::vector<std::string>{"Ay", "Bee", "Dee"}));
    // One message per refused file, in discovery order, as warnings.
    EXPECT_EQ(prompts.texts(),
              (QStringList{"Parser 'Broken.rxp' definition file should contain \"DATA\" format.",
                           "Parser 'Sea' error in expression DATA.",
                           "Parser 'e.rxp' definition does not contain time data index."}));
    for (const auto& m : prompts.messages())
        EXPECT_EQ(m.icon, platform::Icon::Warning);
    FreeParserList(list);
    EXPECT_EQ(list.GetCount(), 0u);
}

TEST(DefinitionDiscovery, LoadedParsersReadLinesThroughTheList) {
    RxpFolder folder;
    folder.write("a.rxp", definition("Ay"));
    folder.write("b.rxp", definition("Bee"));
    ParserList list;
    std::vector<QString> reports;
    LoadDefinitionParsers(folder.root(), list, [&](const QString& t) { reports.push_back(t); });
    EXPECT_TRUE(reports.empty());
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_TRUE(list.StartsBlock("Bee,12"));
    EXPECT_FALSE(list.StartsBlock("Cee,12"));
    CDataBlock block;
    CProtParser* claimed = nullptr;
    DataSample sample;
    EXPECT_EQ(list.FindParser(block, &claimed, "Bee,12", true, &sample, false),
              PF_SAMPLE | PF_CONSUMED);
    EXPECT_EQ(claimed, list.GetAt(1));
    EXPECT_FLOAT_EQ(sample.T, 12.0f);
}

}  // namespace
