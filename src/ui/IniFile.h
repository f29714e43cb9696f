#pragma once
// Private-profile files with the Windows rules: section and key names compared
// without regard to case, "key=value" lines with blanks around them trimmed, a
// write replacing the key's line in place or adding it to its section (or a new
// section), every other line kept. A write replaces the whole file at once, so that
// it is always either the old or the new file. Only a regular file is read; a UTF-8
// byte-order mark at its start is skipped (and kept by a write), and lines a write
// adds to a file whose lines end in CR LF end in CR LF too.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace orx::ini {

// The value of the key, or the default when the file, section or key is missing;
// cut to bufferSize - 1 characters as a reader with a buffer of that size gets it.
std::string ReadString(const std::string& section, const std::string& key,
                       const std::string& defaultValue, size_t bufferSize,
                       const std::string& fileName);

// Writes the key; false when the file cannot be written (it is read-only, or its
// folder cannot be written), in which case the old file stays as it was.
bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                 const std::string& fileName);

// Writes several keys of one section, in their order, with one replacement of the file.
bool WriteStrings(const std::string& section,
                  const std::vector<std::pair<std::string, std::string>>& keyValues,
                  const std::string& fileName);

}  // namespace orx::ini
