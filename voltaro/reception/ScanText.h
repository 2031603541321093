#pragma once
// White space and signs as the C library's conversions see them, for the parsers
// that read charger lines the way the devices' own software did.

#include <cstddef>
#include <string_view>

namespace voltaro {

// The white space of the C locale: space, \t, \n, \v, \f and \r.
inline bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline std::string_view TrimCSpace(std::string_view s) {
    while (!s.empty() && IsCSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsCSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// Moves pos past the white space and the optional sign before a number; true
// when the sign is a minus.
inline bool SkipSpaceAndSign(std::string_view s, std::size_t& pos) {
    while (pos < s.size() && IsCSpace(s[pos]))
        ++pos;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }
    return negative;
}

}  // namespace voltaro
