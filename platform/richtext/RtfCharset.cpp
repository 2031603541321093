#include "platform/richtext/RtfCharset.h"

namespace platform {
namespace {

struct CharsetPage {
    int charset;
    int codePage;
};

// The font character sets of the Windows font tables and their code pages.
constexpr CharsetPage kCharsets[] = {
    {0, 1252},   {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},
    {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
    {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {255, 437},
};

}  // namespace

int codePageForCharset(int charset) {
    for (const CharsetPage& c : kCharsets)
        if (c.charset == charset)
            return c.codePage;
    // 1 (default) and 2 (symbol) and anything unknown: the document's code page.
    return -1;
}

int charsetForCodePage(int codePage) {
    for (const CharsetPage& c : kCharsets)
        if (c.codePage == codePage)
            return c.charset;
    return 0;
}

}  // namespace platform
