#include "platform/cli/CliOutput.h"

#include <gtest/gtest.h>

#include <limits>

namespace platform::cli {
namespace {

TEST(CliJsonString, EscapesAndDecodesThroughTheSystemCodec) {
    struct Case {
        std::string bytes;
        std::string json;
    };
    const Case cases[] = {
        {"", "\"\""},
        {"plain text", "\"plain text\""},
        {"say \"hi\" \\ there", "\"say \\\"hi\\\" \\\\ there\""},
        {"a\nb\rc\td", "\"a\\nb\\rc\\td\""},
        {std::string("\x01\x1f\0", 3), "\"\\u0001\\u001f\\u0000\""},
        {" ~\x7f", "\" ~\x7f\""},
        // Windows-1250 bytes come out as UTF-8 text.
        {"slo\x9Eka \x80", "\"slo\xC5\xBEka \xE2\x82\xAC\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(jsonString(c.bytes), c.json) << c.bytes;
}

TEST(CliOneLine, EveryLineBreakBecomesOneBlank) {
    struct Case {
        QString text;
        QString line;
    };
    const Case cases[] = {
        {QStringLiteral("Cannot open file.\r\nAccess denied."),
         QStringLiteral("Cannot open file. Access denied.")},
        // A bare CR would send the reason back over the start of the line.
        {QStringLiteral("port\rbusy"), QStringLiteral("port busy")},
        {QStringLiteral("a\nb\r\n\r\nc"), QStringLiteral("a b  c")},
        {QStringLiteral("  trailing break\r\n"), QStringLiteral("trailing break")},
        {QStringLiteral("no break"), QStringLiteral("no break")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(oneLine(c.text), c.line) << c.text.toStdString();
}

TEST(CliJsonNumber, ShortestTextOrNull) {
    struct Case {
        double value;
        const char* json;
    };
    const Case cases[] = {
        {0.0, "0"},
        {0.1, "0.1"},
        {-12.5, "-12.5"},
        {1e300, "1e+300"},
        {std::numeric_limits<double>::infinity(), "null"},
        {-std::numeric_limits<double>::infinity(), "null"},
        {std::numeric_limits<double>::quiet_NaN(), "null"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(jsonNumber(c.value), c.json) << c.json;
}

TEST(CliJsonNumber, FloatsPrintAsTheirOwnShortestText) {
    EXPECT_EQ(jsonNumber(0.1f), "0.1");
    EXPECT_EQ(jsonNumber(static_cast<double>(0.1f)), "0.10000000149011612");
    EXPECT_EQ(jsonNumber(std::numeric_limits<float>::quiet_NaN()), "null");
}

TEST(CliJsonWriter, NestedObjectsAndArraysAreIndentedByTwo) {
    JsonWriter w;
    w.beginObject();
    w.value("Name", jsonString("x"));
    w.value("Count", 3);
    w.beginArray("Items");
    w.beginObject();
    w.value("A", 1);
    w.endObject();
    w.value({}, jsonNumber(2.5));
    w.endArray();
    w.beginArray("None");
    w.endArray();
    w.endObject();
    EXPECT_EQ(w.text(),
              "{\n"
              "  \"Name\": \"x\",\n"
              "  \"Count\": 3,\n"
              "  \"Items\": [\n"
              "    {\n"
              "      \"A\": 1\n"
              "    },\n"
              "    2.5\n"
              "  ],\n"
              "  \"None\": []\n"
              "}\n");
}

TEST(CliJsonWriter, LineEndOnlyOnceEverythingIsClosed) {
    JsonWriter w;
    w.beginObject();
    w.value("A", 1);
    EXPECT_EQ(w.text(), "{\n  \"A\": 1");
    w.endObject();
    EXPECT_EQ(w.text(), "{\n  \"A\": 1\n}\n");

    JsonWriter empty;
    empty.beginObject();
    empty.endObject();
    EXPECT_EQ(empty.text(), "{}\n");
}

}  // namespace
}  // namespace platform::cli
