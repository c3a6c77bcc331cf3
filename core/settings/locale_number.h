#pragma once

#include <optional>
#include <string_view>

// A number as the user's locale writes it: blanks around it, a sign, digits with at most
// one decimal separator and an optional exponent ("1e3"). Nothing when the text is not such
// a number or lies beyond the range of a double.
std::optional<double> ParseLocaleNumber(std::string_view s, char decimalSeparator);
