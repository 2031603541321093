// Feeds a device definition and lines to a definition-file parser. The input is
// the definition text, a NUL byte, then the lines (line feeds between them).
// Beyond not crashing: flags come in the combinations the receiver relies on,
// group texts are pieces of the line, byte for byte, and a pattern that loaded
// stays valid.
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/DataSample.h"
#include "voltaro/reception/CProtParser_Regexp.h"
#include "voltaro/reception/ScriptRegExp.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

using namespace voltaro;

void check(bool ok) {
    if (!ok)
        std::abort();
}

void checkGroups(const ScriptRegExp& re, std::string_view line) {
    const ScriptRegExp::Match m = re.Execute(line);
    if (!m)
        return;
    for (int g = 0; g <= m.groupCount(); ++g)
        check(line.find(m.group(g)) != std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view definition = input.substr(0, split);
    const std::string_view lines =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    std::int64_t now = 0;
    CProtParser_Regexp parser([&now] { return now; });
    QString error;
    const bool loaded = parser.LoadDefinitionText(definition, QStringLiteral("fuzz.rxp"), &error);
    check(loaded == error.isEmpty());
    if (!loaded) {
        // Any single line of the definition tried as a pattern must not crash either.
        const ScriptRegExp re(definition.substr(0, definition.find('\n')));
        checkGroups(re, definition);
        return 0;
    }
    check(ScriptRegExp(parser.m_strData).IsValid());
    check(parser.m_ixT >= 0);

    CDataBlock block;
    std::size_t start = 0;
    while (start <= lines.size()) {
        std::size_t end = lines.find('\n', start);
        if (end == std::string_view::npos)
            end = lines.size();
        const std::string_view line = lines.substr(start, end - start);
        start = end + 1;
        now += 997;

        check(parser.ParseHeader(block, line, false) == 0);
        check(parser.ParseData(block, line, false, nullptr) == 0);
        const int header = parser.ParseHeader(block, line, true);
        check(header == 0 || header == PF_CONSUMED);
        DataSample sample;
        const int flags = parser.ParseData(block, line, true, &sample);
        check(((flags & PF_UNRECOGNISED) != 0) != ((flags & PF_CONSUMED) != 0));
        check(!(flags & PF_SAMPLE) || (flags & PF_CONSUMED));
        checkGroups(ScriptRegExp(parser.m_strData), line);
        (void)parser.IsTimedOut();
    }
    return 0;
}
