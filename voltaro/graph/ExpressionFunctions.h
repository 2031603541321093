#pragma once
// The built-in functions of the expression evaluator. Names match with case.

#include <string_view>

namespace voltaro::builtin {

// Index into the table, or -1 for an unknown name.
int find(std::string_view name);
int arity(int index);
std::string_view name(int index);
// args holds arity(index) values.
double call(int index, const double* args);

}  // namespace voltaro::builtin
