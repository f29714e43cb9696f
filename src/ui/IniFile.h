#pragma once
// Private-profile files with the Windows rules: section and key names compared
// without regard to case, "key=value" lines with blanks around them trimmed, a
// write replacing the key's line in place or adding it to its section (or a new
// section), every other line kept. Writes replace the file atomically.
#include <cstddef>
#include <string>

namespace orx::ini {

// A name without a folder lives in the profile folder.
std::string ResolvePath(const std::string& fileName);

// The value of the key, or the default when the file, section or key is missing;
// cut to bufferSize - 1 characters as a reader with a buffer of that size gets it.
std::string ReadString(const std::string& section, const std::string& key,
                       const std::string& defaultValue, size_t bufferSize,
                       const std::string& fileName);

// Writes the key; false when the file cannot be written (it is read-only, or its
// folder cannot be written), in which case the old file stays as it was.
bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                 const std::string& fileName);

// Writes a whole file by way of a temporary file in the same folder renamed over
// the old one, so that the file is always either old or new. Keeps the old mode.
bool ReplaceFileAtomically(const std::string& path, const std::string& contents);

}  // namespace orx::ini
