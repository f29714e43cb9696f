#pragma once
// Opening files for reading only when they are regular files. A directory, FIFO,
// device or socket counts as a file that cannot be opened: such a path is never
// opened in a way that could block (a FIFO without a writer) or read without end
// (/dev/zero, /dev/urandom).
#include <sys/stat.h>

#include <cstdio>
#include <string>

namespace orx {

// A read-only descriptor of the regular file at path, or -1 (errno tells why).
// The status of the open descriptor goes to st when given.
int OpenRegularFileDescriptor(const std::string& path, struct stat* st = nullptr);

// The same as a stdio stream for binary reading, or nullptr.
std::FILE* OpenRegularFile(const std::string& path, struct stat* st = nullptr);

// True when path names a regular file now (links followed).
bool IsRegularFile(const std::string& path);

}  // namespace orx
