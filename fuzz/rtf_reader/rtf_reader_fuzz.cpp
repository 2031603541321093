// Feeds arbitrary bytes to the RTF reader, then checks that what we write is
// stable: our RTF reads back to a model that writes the same bytes, and that
// model survives a trip through a QTextDocument unchanged.
#include "platform/richtext/RichTextDocument.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void ensureApplication() {
    // Text documents need the font machinery of a GUI application.
    static int argc = 1;
    static char name[] = "fuzz_rtf_reader";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication app(argc, argv);
    }
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "rtf_reader: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureApplication();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const platform::RichText first = platform::RtfReader::read(input);
    if (first.paragraphs.empty())
        fail("no paragraph read");

    const std::string written = platform::RtfWriter::write(first);
    const platform::RichText again = platform::RtfReader::read(written);
    if (platform::RtfWriter::write(again) != written)
        fail("our RTF does not read back to the same text");

    QTextDocument document;
    platform::RichTextDocument::fill(document, again);
    if (!(platform::RichTextDocument::extract(document) == again))
        fail("the text changed on its way through a text document");
    return 0;
}
