#pragma once

#include <string>

namespace platform {

// The user's locale name for numbers: LC_ALL, else LC_NUMERIC, else LANG ("C" when none).
std::string NumericLocaleName();

// The decimal separator of that locale: "," for a German locale, "." for "C".
char UserDecimalSeparator();

// The decimal separator of a named locale, for tests and for the function above.
char DecimalSeparatorOf(const std::string& localeName);

} // namespace platform
