#include "platform/ReplacingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace orx {

namespace {

// Mode a newly created file gets from fopen(path, "wb"): 0666 less the umask.
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Open(const std::string& path) {
    Discard();
    if (path.empty()) return false;
    m_target = path;

    // A link is followed, so that the file it names is replaced and the link stays.
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved)) m_target = resolved;
    }

    mode_t mode = NewFileMode();
    if (stat(m_target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return false;
        if ((st.st_mode & 0222) == 0) return false;
        mode = st.st_mode & 07777;
    }

    const size_t slash = m_target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : m_target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
    std::string pattern = folder + "." + base + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    m_temp = name.data();
    fchmod(fd, mode);
    m_file = fdopen(fd, "wb");
    if (!m_file) {
        close(fd);
        unlink(m_temp.c_str());
        m_temp.clear();
        return false;
    }
    return true;
}

bool ReplacingFile::Commit() {
    if (!m_file) return false;
    bool ok = std::fflush(m_file) == 0 && !std::ferror(m_file);
    ok = fsync(fileno(m_file)) == 0 && ok;
    ok = std::fclose(m_file) == 0 && ok;
    m_file = nullptr;
    if (ok) ok = std::rename(m_temp.c_str(), m_target.c_str()) == 0;
    if (!ok) unlink(m_temp.c_str());
    m_temp.clear();
    return ok;
}

void ReplacingFile::Discard() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty()) {
        unlink(m_temp.c_str());
        m_temp.clear();
    }
}

}  // namespace orx
