#pragma once
// Numbers of orx-render's options, read whole and range-checked: a number outside its
// range is refused with a text that says what is wrong, never wrapped or cut.
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace orx::render {

// A decimal whole number from lo to hi, optionally signed, nothing else around it.
inline bool ParseWhole(std::string_view text, long long lo, long long hi, long long& value,
                       std::string& error) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    const bool negative = !digits.empty() && digits.front() == '-';
    const std::string_view unsignedPart = negative ? digits.substr(1) : digits;
    if (unsignedPart.empty() ||
        unsignedPart.find_first_not_of("0123456789") != std::string_view::npos) {
        error = "'" + std::string(text) + "' is not a whole number";
        return false;
    }
    long long v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    const bool tooLarge = ec == std::errc::result_out_of_range ? !negative : v > hi;
    const bool tooSmall = ec == std::errc::result_out_of_range ? negative : v < lo;
    if (tooLarge) {
        error = std::string(text) + " is above " + std::to_string(hi);
        return false;
    }
    if (tooSmall) {
        error = std::string(text) + " is below " + std::to_string(lo);
        return false;
    }
    value = v;
    return true;
}

// A finite decimal number (not inf, not nan, not beyond a double).
inline bool ParseFinite(std::string_view text, double& value, std::string& error) {
    std::string_view number = text;
    if (!number.empty() && number.front() == '+') number.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
    if (number.empty() || (ec != std::errc() && ec != std::errc::result_out_of_range) ||
        end != number.data() + number.size()) {
        error = "'" + std::string(text) + "' is not a number";
        return false;
    }
    // Out of range is either beyond a double or below its smallest step (then 0).
    if (ec == std::errc::result_out_of_range) v = std::strtod(std::string(number).c_str(), nullptr);
    if (!std::isfinite(v)) {
        error = std::string(text) + " is not a finite number";
        return false;
    }
    value = v;
    return true;
}

// Exactly n pieces of text separated by sep.
inline bool SplitInto(std::string_view text, char sep, size_t n,
                      std::vector<std::string_view>& parts) {
    parts.clear();
    size_t start = 0;
    while (true) {
        const size_t at = text.find(sep, start);
        parts.push_back(
            text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    return parts.size() == n;
}

}  // namespace orx::render
