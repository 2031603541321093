#include "voltaro/graph/ExpressionFunctions.h"

#include <array>
#include <cmath>

namespace voltaro::builtin {

namespace {

struct Entry {
    std::string_view name;
    int arity;
    double (*fn)(const double*);
};

// ft2m is the inverse of m2ft (1 / 3.28084) rather than 0.3048, so converting there
// and back returns the value.
constexpr std::array<Entry, 21> kTable = {{
    {"sin", 1, [](const double* a) { return std::sin(a[0]); }},
    {"cos", 1, [](const double* a) { return std::cos(a[0]); }},
    {"tan", 1, [](const double* a) { return std::tan(a[0]); }},
    {"asin", 1, [](const double* a) { return std::asin(a[0]); }},
    {"acos", 1, [](const double* a) { return std::acos(a[0]); }},
    {"atan", 1, [](const double* a) { return std::atan(a[0]); }},
    {"sinh", 1, [](const double* a) { return std::sinh(a[0]); }},
    {"cosh", 1, [](const double* a) { return std::cosh(a[0]); }},
    {"tanh", 1, [](const double* a) { return std::tanh(a[0]); }},
    {"exp", 1, [](const double* a) { return std::exp(a[0]); }},
    {"log", 1, [](const double* a) { return std::log10(a[0]); }},
    {"ln", 1, [](const double* a) { return std::log(a[0]); }},
    {"sqrt", 1, [](const double* a) { return std::sqrt(a[0]); }},
    {"floor", 1, [](const double* a) { return std::floor(a[0]); }},
    {"ceil", 1, [](const double* a) { return std::ceil(a[0]); }},
    {"abs", 1, [](const double* a) { return std::fabs(a[0]); }},
    {"hypot", 2, [](const double* a) { return std::hypot(a[0], a[1]); }},
    {"deg", 1, [](const double* a) { return a[0] * 57.29577951308232; }},
    {"rad", 1, [](const double* a) { return a[0] * 0.017453292519943295; }},
    {"m2ft", 1, [](const double* a) { return a[0] * 3.28084; }},
    {"ft2m", 1, [](const double* a) { return a[0] * 0.3047999902464003; }},
}};

constexpr int kCount = static_cast<int>(kTable.size());

}  // namespace

int find(std::string_view name) {
    for (int i = 0; i < kCount; ++i)
        if (kTable[static_cast<std::size_t>(i)].name == name)
            return i;
    return -1;
}

int arity(int index) {
    return kTable[static_cast<std::size_t>(index)].arity;
}

std::string_view name(int index) {
    return kTable[static_cast<std::size_t>(index)].name;
}

double call(int index, const double* args) {
    return kTable[static_cast<std::size_t>(index)].fn(args);
}

}  // namespace voltaro::builtin
