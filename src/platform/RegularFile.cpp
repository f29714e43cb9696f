#include "platform/RegularFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace orx {

int OpenRegularFileDescriptor(const std::string& path, struct stat* st) {
    struct stat before {};
    // Checked before opening, so that opening a device has no effect of its own.
    if (::stat(path.c_str(), &before) != 0) return -1;
    if (!S_ISREG(before.st_mode)) {
        errno = S_ISDIR(before.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    // Non-blocking, because the path may have become a FIFO since the check.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    // Reads of a regular file never block; the flag is cleared all the same so that
    // the descriptor behaves like any other.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (st) *st = opened;
    return fd;
}

std::FILE* OpenRegularFile(const std::string& path, struct stat* st) {
    const int fd = OpenRegularFileDescriptor(path, st);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) ::close(fd);
    return file;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace orx
