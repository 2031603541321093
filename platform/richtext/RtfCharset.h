#pragma once
// The font character sets of RTF font tables (\fcharset) and the code pages they
// stand for. The code page tables themselves belong to TextCodec.

namespace platform {

// The code page a font character set stands for; -1 for the default character
// set, which means "the document's code page".
int codePageForCharset(int charset);
// The character set that names a code page in a font table (0 for none known).
int charsetForCodePage(int codePage);

}  // namespace platform
