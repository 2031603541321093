#pragma once
// The value of one hexadecimal digit, for the readers that take hex from text
// (rich text escapes, settings files, definition files).

namespace platform {

// 0..15, or -1 when c is not a hex digit of either case.
constexpr int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace platform
