#pragma once
// Letter case of file names and ini keys: only A to Z change, so the bytes of
// multi-byte characters and the process locale play no part.
#include <string>

namespace orx {

inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLowerCase(std::string text) {
    for (char& c : text) c = AsciiLower(c);
    return text;
}

// The last four characters of a name in lower case (the whole name when shorter):
// how file types are told apart (".bmp", ".jpg", ".raw").
inline std::string LowerExtension(const std::string& name) {
    return AsciiLowerCase(name.size() < 4 ? name : name.substr(name.size() - 4));
}

}  // namespace orx
