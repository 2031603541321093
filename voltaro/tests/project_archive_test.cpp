// Byte-level tests of the project archive: strings, counts and object tags.
#include "voltaro/model/ArchiveReader.h"
#include "voltaro/model/ArchiveWriter.h"

#include <QBuffer>
#include <QByteArray>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace voltaro {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

struct StringCase {
    std::size_t length;
    std::string prefix;  // the length prefix expected before the characters
};

class ArchiveStringTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(ArchiveStringTest, PrefixAndRoundTrip) {
    const StringCase& c = GetParam();
    std::string text(c.length, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>('a' + i % 26);
    }
    ArchiveWriter out;
    out.writeString(text);
    out.writeWord(0xBEEF);  // a marker proves the reader stops at the right byte
    const std::string& written = out.bytes();
    ASSERT_EQ(written.size(), c.prefix.size() + c.length + 2);
    EXPECT_EQ(written.substr(0, c.prefix.size()), c.prefix);
    EXPECT_EQ(written.substr(c.prefix.size(), c.length), text);

    ArchiveReader in(written);
    EXPECT_EQ(in.readString(), text);
    EXPECT_EQ(in.readWord(), 0xBEEF);
    EXPECT_TRUE(in.atEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ArchiveStringTest,
    ::testing::Values(StringCase{0, bytes({0x00})}, StringCase{1, bytes({0x01})},
                      StringCase{254, bytes({0xFE})}, StringCase{255, bytes({0xFF, 0xFF, 0x00})},
                      StringCase{256, bytes({0xFF, 0x00, 0x01})},
                      StringCase{65533, bytes({0xFF, 0xFD, 0xFF})},
                      StringCase{65534, bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
                      StringCase{65535, bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
                      StringCase{70000, bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})}));

TEST(ArchiveString, KeepsEightBitBytesAndNuls) {
    const std::string text = std::string("P\xF8\xEDli\x9A") + '\0' + "x\xFF";
    ArchiveWriter out;
    out.writeString(text);
    ArchiveReader in(out.bytes());
    EXPECT_EQ(in.readString(), text);
}

TEST(ArchiveString, WideStringMarkIsRefused) {
    const std::string wide = bytes({0xFF, 0xFE, 0xFF, 0x01, 'a', 0});
    ArchiveReader in(wide);
    try {
        in.readString();
        FAIL() << "a wide-character string was accepted";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.cause(), ArchiveError::Cause::BadString);
    }
}

struct TruncatedCase {
    const char* name;
    std::string data;
};

TEST(ArchiveString, ShortDataThrowsEndOfFile) {
    const TruncatedCase cases[] = {
        {"empty", {}},
        {"missing characters", bytes({0x03, 'a', 'b'})},
        {"missing word length", bytes({0xFF, 0x10})},
        {"missing dword length", bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00})},
        // A corrupt length of 4 GB must fail on the size check, not on allocation.
        {"absurd dword length", bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'})},
    };
    for (const auto& c : cases) {
        ArchiveReader in(c.data);
        try {
            in.readString();
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.cause(), ArchiveError::Cause::EndOfFile) << c.name;
        }
    }
}

TEST(ArchiveCount, WordBelowLimitElseDword) {
    const struct {
        std::uint64_t count;
        std::string expected;
    } cases[] = {
        {0, bytes({0x00, 0x00})},
        {2, bytes({0x02, 0x00})},
        {0xFFFE, bytes({0xFE, 0xFF})},
        {0xFFFF, bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
        {1000000, bytes({0xFF, 0xFF, 0x40, 0x42, 0x0F, 0x00})},
    };
    for (const auto& c : cases) {
        ArchiveWriter out;
        out.writeCount(c.count);
        EXPECT_EQ(out.bytes(), c.expected) << c.count;
        ArchiveReader in(out.bytes());
        EXPECT_EQ(in.readCount(), c.count);
    }
}

TEST(ArchiveNumbers, LittleEndian) {
    ArchiveWriter out;
    out.writeWord(0x1234);
    out.writeDword(0x89ABCDEF);
    out.writeInt32(-1);
    out.writeDouble(1.5);
    EXPECT_EQ(out.bytes(), bytes({0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0,
                                  0, 0, 0, 0, 0xF8, 0x3F}));
    ArchiveReader in(out.bytes());
    EXPECT_EQ(in.readWord(), 0x1234);
    EXPECT_EQ(in.readDword(), 0x89ABCDEFu);
    EXPECT_EQ(in.readInt32(), -1);
    EXPECT_EQ(in.readDouble(), 1.5);
    EXPECT_THROW(in.readByte(), ArchiveError);
}

// Objects stand for themselves by address; the tests only need distinct ones.
struct Dummy {
    int id;
};

TEST(ArchiveObjects, TagsOfNewClassesObjectsAndReferences) {
    Dummy a{1}, b{2}, c{3};
    ArchiveWriter out;
    EXPECT_TRUE(out.writeObjectRef(&a, "CA"));  // class 1, object 2
    EXPECT_FALSE(out.writeObjectRef(nullptr, "CA"));
    EXPECT_TRUE(out.writeObjectRef(&b, "CBB"));  // class 3, object 4
    EXPECT_TRUE(out.writeObjectRef(&c, "CA"));   // object 5 of class 1
    EXPECT_FALSE(out.writeObjectRef(&a, "CA"));  // back reference
    EXPECT_FALSE(out.writeObjectRef(&c, "CA"));
    EXPECT_EQ(out.bytes(), bytes({0xFF, 0xFF, 0x00, 0x00, 0x02, 0x00, 'C', 'A',       //
                                  0x00, 0x00,                                         //
                                  0xFF, 0xFF, 0x00, 0x00, 0x03, 0x00, 'C', 'B', 'B',  //
                                  0x01, 0x80,                                         //
                                  0x02, 0x00,                                         //
                                  0x05, 0x00}));

    ArchiveReader in(out.bytes());
    in.addKnownClass("CA", 0);
    in.addKnownClass("CBB", 0);
    auto tag = in.readObjectTag();
    EXPECT_EQ(tag.kind, ArchiveReader::ObjectTag::NewObject);
    EXPECT_EQ(tag.index, 2u);
    EXPECT_EQ(tag.className, "CA");
    in.bindObject(tag.index, &a);
    EXPECT_EQ(in.readObjectTag().kind, ArchiveReader::ObjectTag::Null);
    tag = in.readObjectTag();
    EXPECT_EQ(tag.index, 4u);
    EXPECT_EQ(tag.className, "CBB");
    in.bindObject(tag.index, &b);
    tag = in.readObjectTag();
    EXPECT_EQ(tag.kind, ArchiveReader::ObjectTag::NewObject);
    EXPECT_EQ(tag.index, 5u);
    EXPECT_EQ(tag.className, "CA");
    in.bindObject(tag.index, &c);
    tag = in.readObjectTag();
    EXPECT_EQ(tag.kind, ArchiveReader::ObjectTag::Reference);
    EXPECT_EQ(tag.object, &a);
    EXPECT_EQ(tag.className, "CA");
    tag = in.readObjectTag();
    EXPECT_EQ(tag.object, &c);
    EXPECT_TRUE(in.atEnd());
}

TEST(ArchiveObjects, IndexesFrom0x7FFFUseTheDwordEscape) {
    // 0x7FFD objects of one class fill the short indexes (class 1, objects
    // 2..0x7FFE); the next object and every reference to it need the escape.
    std::vector<Dummy> objects(0x7FFD);
    ArchiveWriter out;
    for (auto& o : objects) {
        out.writeObjectRef(&o, "CX");
    }
    const std::size_t before = out.bytes().size();
    out.writeObjectRef(&objects[0x7FFC], "CX");  // object index 0x7FFE: still short
    EXPECT_EQ(out.bytes().substr(before), bytes({0xFE, 0x7F}));

    Dummy late{0};
    const std::size_t mark = out.bytes().size();
    out.writeObjectRef(&late, "CX");  // object index 0x7FFF, class 1
    EXPECT_EQ(out.bytes().substr(mark), bytes({0x01, 0x80}));
    const std::size_t refMark = out.bytes().size();
    out.writeObjectRef(&late, "CX");
    EXPECT_EQ(out.bytes().substr(refMark), bytes({0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00}));

    Dummy other{1};
    const std::size_t classMark = out.bytes().size();
    out.writeObjectRef(&other, "CY");  // new class gets index 0x8000, object 0x8001
    out.writeObjectRef(&late, "CY");   // (a reference; class is ignored)
    Dummy third{2};
    out.writeObjectRef(&third, "CY");  // new object of class 0x8000: DWORD class tag
    EXPECT_EQ(out.bytes().substr(classMark),
              bytes({0xFF, 0xFF, 0x00, 0x00, 0x02, 0x00, 'C', 'Y',  //
                     0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00,            //
                     0xFF, 0x7F, 0x00, 0x80, 0x00, 0x80}));

    ArchiveReader in(out.bytes());
    in.addKnownClass("CX", 0);
    in.addKnownClass("CY", 0);
    for (auto& o : objects) {
        const auto tag = in.readObjectTag();
        ASSERT_EQ(tag.kind, ArchiveReader::ObjectTag::NewObject);
        in.bindObject(tag.index, &o);
    }
    EXPECT_EQ(in.readObjectTag().object, &objects[0x7FFC]);
    auto tag = in.readObjectTag();
    EXPECT_EQ(tag.index, 0x7FFFu);
    in.bindObject(tag.index, &late);
    EXPECT_EQ(in.readObjectTag().object, &late);
    tag = in.readObjectTag();
    EXPECT_EQ(tag.index, 0x8001u);
    EXPECT_EQ(tag.className, "CY");
    EXPECT_EQ(in.readObjectTag().object, &late);
    tag = in.readObjectTag();
    EXPECT_EQ(tag.kind, ArchiveReader::ObjectTag::NewObject);
    EXPECT_EQ(tag.className, "CY");
    EXPECT_EQ(tag.index, 0x8002u);
}

TEST(ArchiveObjects, BadTagsAreRefused) {
    const struct {
        const char* name;
        std::string data;
        ArchiveError::Cause cause;
    } cases[] = {
        {"unknown class", bytes({0xFF, 0xFF, 0, 0, 3, 0, 'C', 'Z', 'Z'}),
         ArchiveError::Cause::BadClass},
        {"foreign schema", bytes({0xFF, 0xFF, 2, 0, 2, 0, 'C', 'A'}),
         ArchiveError::Cause::BadSchema},
        {"reference not read yet", bytes({0x05, 0x00}), ArchiveError::Cause::BadIndex},
        {"object of a class never introduced", bytes({0x01, 0x80}), ArchiveError::Cause::BadIndex},
        {"class index that is an object", bytes({0xFF, 0xFF, 0, 0, 2, 0, 'C', 'A', 0x02, 0x80}),
         ArchiveError::Cause::BadIndex},
        {"reference to a class", bytes({0xFF, 0xFF, 0, 0, 2, 0, 'C', 'A', 0x01, 0x00}),
         ArchiveError::Cause::BadIndex},
        {"big reference not read yet", bytes({0xFF, 0x7F, 0x00, 0x00, 0x01, 0x00}),
         ArchiveError::Cause::BadIndex},
        {"truncated class name", bytes({0xFF, 0xFF, 0, 0, 9, 0, 'C', 'A'}),
         ArchiveError::Cause::EndOfFile},
        {"truncated big tag", bytes({0xFF, 0x7F, 0x01}), ArchiveError::Cause::EndOfFile},
    };
    for (const auto& c : cases) {
        ArchiveReader in(c.data);
        in.addKnownClass("CA", 0);
        try {
            for (int i = 0; i < 4; ++i) {
                const auto tag = in.readObjectTag();
                static Dummy d{0};
                if (tag.kind == ArchiveReader::ObjectTag::NewObject) {
                    in.bindObject(tag.index, &d);
                }
            }
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.cause(), c.cause) << c.name << ": " << e.what();
        }
    }
}

TEST(ArchiveDevice, BufferedDeviceMatchesMemory) {
    // Mixed small and large writes cross the device buffer in every way.
    const std::string big(200000, 'q');
    ArchiveWriter memory;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ArchiveWriter device(&buffer);
    for (ArchiveWriter* w : {&memory, &device}) {
        for (int i = 0; i < 3000; ++i) {
            w->writeString(std::string(static_cast<std::size_t>(i % 300), char('a' + i % 26)));
            w->writeDword(static_cast<std::uint32_t>(i));
        }
        w->writeBytes(big.data(), big.size());
        w->writeWord(7);
        w->flush();
    }
    buffer.close();
    const QByteArray& data = buffer.data();
    ASSERT_EQ(std::string(data.constData(), static_cast<std::size_t>(data.size())), memory.bytes());

    buffer.open(QIODevice::ReadOnly);
    ArchiveReader in(&buffer);
    EXPECT_EQ(in.bytesLeft(), memory.bytes().size());
    for (int i = 0; i < 3000; ++i) {
        ASSERT_EQ(in.readString(),
                  std::string(static_cast<std::size_t>(i % 300), char('a' + i % 26)));
        ASSERT_EQ(in.readDword(), static_cast<std::uint32_t>(i));
    }
    std::string back(big.size(), '\0');
    in.readBytes(back.data(), back.size());
    EXPECT_EQ(back, big);
    EXPECT_EQ(in.readWord(), 7);
    EXPECT_TRUE(in.atEnd());
    EXPECT_THROW(in.readByte(), ArchiveError);
}

TEST(ArchiveDevice, LargeReadPastTheEndThrows) {
    QByteArray data(100000, 'x');
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    ArchiveReader in(&buffer);
    std::string out(200000, '\0');
    EXPECT_THROW(in.readBytes(out.data(), out.size()), ArchiveError);
}

}  // namespace
}  // namespace voltaro
