#pragma once
// A file written through a temporary file in the same folder, which takes the place of the
// old file only when it is complete. A failed or interrupted write leaves the old file as it
// was and no half-written file behind.
#include <cstdio>
#include <string>

namespace orx {

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file beside `path`. Fails when the folder is missing or not
    // writable, when `path` is a folder, or when an existing file at `path` has no write
    // permission bit (a read-only file stays read-only, for root too).
    bool Open(const std::string& path);
    FILE* Stream() const { return m_file; }
    // Writes everything out and renames the temporary file over `path`. On failure the
    // temporary file is removed and false returned.
    bool Commit();
    // Closes and removes the temporary file; `path` is untouched.
    void Discard();

private:
    std::string m_target;
    std::string m_temp;
    FILE* m_file = nullptr;
};

}  // namespace orx
