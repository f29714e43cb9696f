#pragma once
// Number conversion for model files, independent of the process locale: the
// results of the C library's atoi, atol and atof in the "C" locale for the
// decimal forms that model files use (leading blanks, optional sign, digits, a
// fraction after a point, an exponent; conversion stops at the first other
// character; 0 when no number leads).
#include <string_view>

namespace orx {

long ParseLong(std::string_view text);
// Sets ok to false when the number does not fit a double (it would be infinite),
// and for the words for infinity and not-a-number ("inf", "Infinity", "-NaN").
double ParseDouble(std::string_view text, bool& ok);

}  // namespace orx
