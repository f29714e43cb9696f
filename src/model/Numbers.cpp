#include "model/Numbers.h"

#include <locale.h>
#include <stdlib.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

namespace orx {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text begins with the lower-case word, letters in any case.
bool StartsWithWord(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (size_t k = 0; k < word.size(); ++k)
        if ((text[k] | 0x20) != word[k]) return false;
    return true;
}

}  // namespace

long ParseLong(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned long long value = 0;
    bool overflow = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > static_cast<unsigned long long>(LONG_MAX) + 1) overflow = true;
        if (overflow) value = static_cast<unsigned long long>(LONG_MAX) + 1;
    }
    if (negative)
        return value > static_cast<unsigned long long>(LONG_MAX) ? LONG_MIN
                                                                 : -static_cast<long>(value);
    return value > static_cast<unsigned long long>(LONG_MAX) ? LONG_MAX : static_cast<long>(value);
}

double ParseDouble(std::string_view text, bool& ok) {
    ok = true;
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // The words for infinity and not-a-number, in any case, are what the C library
    // reads as such: they do not fit a model either.
    if (StartsWithWord(text.substr(i), "inf") || StartsWithWord(text.substr(i), "nan")) {
        ok = false;
        return 0.0;
    }
    // Only a decimal number counts: digits, or a point followed by a digit.
    const size_t start = i;
    if (!(i < text.size() &&
          (IsDigit(text[i]) || (text[i] == '.' && i + 1 < text.size() && IsDigit(text[i + 1])))))
        return negative ? -0.0 : 0.0;
    double value = 0.0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: the C library in the "C" locale
        // decides between infinity and an underflowed value.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
        const std::string copy(first, static_cast<size_t>(ptr - first));
        value = strtod_l(copy.c_str(), nullptr, cLocale);
    } else if (ec != std::errc()) {
        return negative ? -0.0 : 0.0;
    }
    if (!std::isfinite(value)) ok = false;
    return negative ? -value : value;
}

}  // namespace orx
