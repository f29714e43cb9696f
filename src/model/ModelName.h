#pragma once
// What a model file's name says: the viewer opens a name ending in ".gl", and the two
// characters that end with its last "d" tell the kind ("3d" a whole model, "2d" a
// parts list), in any case.
#include <string>

#include "platform/Text.h"

namespace orx {

inline bool HasModelExtension(const std::string& path) {
    const std::string lower = AsciiLowerCase(path);
    return lower.size() >= 3 && lower.compare(lower.size() - 3, 3, ".gl") == 0;
}

// "2d", "3d", any other pair, or empty when the name has no "d" after its first character.
inline std::string ModelKind(const std::string& path) {
    const std::string lower = AsciiLowerCase(path);
    const size_t d = lower.rfind('d');
    return d == std::string::npos || d == 0 ? "" : lower.substr(d - 1, 2);
}

}  // namespace orx
