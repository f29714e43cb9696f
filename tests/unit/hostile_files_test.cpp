// Paths that are not regular files, endless lines and files replaced under the
// reader: every reader refuses them at once, and memory does not grow with them.
// Each read runs in a child process under a generous ceiling of time and address
// space, so that a reader that blocks or reads without end fails the test instead of
// hanging it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <sstream>
#include <thread>

#include "ImageSupport.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "ViewerProbe.h"
#include "ViewerRig.h"
#include "image/Texture.h"
#include "model/ModelCache.h"
#include "ui/IniFile.h"

namespace orx::test {
namespace {

constexpr int kCeilingSeconds = 20;

// The address space in use, in KiB, from /proc/self/status.
[[maybe_unused]] long AddressSpaceKiB() {
    std::istringstream in(ReadText("/proc/self/status"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmSize:", 0) == 0) return std::atol(line.c_str() + 7);
    }
    return -1;
}

// Runs work in a child process and returns what it reports, or nothing when it has
// not finished within the ceiling (it is then killed) or failed. Outside the sanitizer
// build the child may take only `headroomMiB` more address space than it starts with,
// so that a reader that keeps what it reads fails fast instead of filling the
// machine's memory.
std::optional<std::string> RunInChild(const std::function<std::string()>& work,
                                      [[maybe_unused]] long headroomMiB = 1024) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        ::close(fds[0]);
        // Not under the sanitizer: its shadow memory reserves far more address space.
#if !defined(__SANITIZE_ADDRESS__)
        const rlim_t limit = rlim_t(AddressSpaceKiB() + headroomMiB * 1024) * 1024;
        const struct rlimit rl { limit, limit };
        ::setrlimit(RLIMIT_AS, &rl);
#endif
        // The child ends here whatever happens: an exception must not carry it on
        // into the tests that follow.
        std::string result;
        try {
            result = work();
        } catch (...) {
            ::_exit(1);
        }
        size_t done = 0;
        while (done < result.size()) {
            const ssize_t n = ::write(fds[1], result.data() + done, result.size() - done);
            if (n <= 0) break;
            done += size_t(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string result;
    bool finished = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kCeilingSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            finished = true;
            break;
        }
        result.append(buffer, size_t(n));
    }
    ::close(fds[0]);
    if (!finished) ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!finished || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return result;
}

void MakeSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::close(fd);  // the socket file stays
}

struct HostileKind {
    const char* name;
    bool regular;
    // Makes the path; regularContent is what a regular file of this reader holds.
    std::function<void(const std::string& path, const std::string& regularContent)> make;
};

const HostileKind kKinds[] = {
    {"regular", true, [](const std::string& p, const std::string& c) { WriteText(p, c); }},
    {"missing", false, [](const std::string&, const std::string&) {}},
    {"directory", false,
     [](const std::string& p, const std::string&) { std::filesystem::create_directory(p); }},
    {"fifo", false, [](const std::string& p, const std::string&) { ::mkfifo(p.c_str(), 0644); }},
    {"link to /dev/zero", false,
     [](const std::string& p, const std::string&) { ::symlink("/dev/zero", p.c_str()); }},
    {"link to /dev/urandom", false,
     [](const std::string& p, const std::string&) { ::symlink("/dev/urandom", p.c_str()); }},
    {"socket", false, [](const std::string& p, const std::string&) { MakeSocket(p); }},
};

TEST(HostileFiles, OnlyRegularFilesAreReadAndNothingBlocks) {
    TempProfile dir;
    const std::string model = std::string("h\n") + kBlockRecord + "\n";
    const std::string ini = "[LIFE]\nACTUAL=/models/schrank3d.gl\n";
    const std::vector<uint8_t> bmpBytes = MakeBmp(Gradient(4, 4));
    const std::string bmp(bmpBytes.begin(), bmpBytes.end());
    const std::string jpg = ReadText(ORX_SOURCE_DIR "/data/texturen/textur1.jpg");
    ASSERT_FALSE(jpg.empty());

    int n = 0;
    for (const HostileKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const std::string base = dir.path + "/k" + std::to_string(n++);
        const std::string modelPath = base + "3d.gl", iniPath = base + ".ini";
        const std::string bmpPath = base + ".bmp", jpgPath = base + ".jpg";
        kind.make(modelPath, model);
        kind.make(iniPath, ini);
        kind.make(bmpPath, bmp);
        kind.make(jpgPath, jpg);

        const std::optional<std::string> report = RunInChild([&] {
            ScriptedPlatform platform;
            SetMessagePlatform(&platform);
            std::ostringstream out;
            ModelFileCache cache;
            const bool read = cache.Load(modelPath);
            out << "model " << read << " " << cache.lineCount << " " << cache.records.size()
                << "\n";
            out << "ini " << ini::ReadString("LIFE", "ACTUAL", "none", 1020, iniPath) << "\n";
            CTexture texture;
            out << "bmp " << texture.ReadFile(bmpPath, -1, -1, -1) << " " << texture.width << "\n";
            out << "jpg " << texture.ReadFile(jpgPath, -1, -1, -1) << " " << texture.width << "\n";
            for (const auto& m : platform.messages) out << "message " << m.text << "|\n";
            SetMessagePlatform(nullptr);
            return out.str();
        });
        ASSERT_TRUE(report.has_value()) << "a reader blocked or crashed";

        if (kind.regular) {
            EXPECT_EQ(*report, "model 1 1 1\nini /models/schrank3d.gl\nbmp 1 4\njpg 1 512\n");
        } else {
            EXPECT_EQ(*report,
                      "model 0 0 0\nini none\nbmp 0 0\njpg 0 0\n"
                      "message Unable to open file for reading|\n"
                      "message JPEG :\nCan't open " +
                          jpgPath + "\n|\n");
        }
    }
}

// A line of 128 MiB is read with 64 MiB of address space to spare: the reader keeps
// its blocks only, whatever the length of the line.
TEST(HostileFiles, EndlessLinesAreReadWithinLessMemoryThanTheLine) {
    TempProfile dir;
    constexpr off_t kSize = off_t(128) << 20;  // one line of 128 MiB, no line feed
    const std::string bodyOnly = dir.File("body3d.gl"), headerOnly = dir.File("header3d.gl");
    const std::string iniPath = dir.File("ORX.INI");
    WriteText(bodyOnly, "header\n");
    WriteText(headerOnly, "");
    WriteText(iniPath, "[LIFE]\nACTUAL=");
    for (const std::string& p : {bodyOnly, headerOnly, iniPath})
        ASSERT_EQ(::truncate(p.c_str(), kSize), 0);  // sparse: NUL bytes, no disk

    const std::optional<std::string> report = RunInChild(
        [&] {
            std::ostringstream out;
            ModelFileCache cache;
            out << cache.Load(bodyOnly) << " " << cache.lineCount << " " << cache.records.size()
                << "\n";
            out << cache.Load(headerOnly) << " " << cache.lineCount << "\n";
            out << ini::ReadString("LIFE", "ACTUAL", "x", 1020, iniPath) << "\n";
            return out.str();
        },
        64);
    ASSERT_TRUE(report.has_value()) << "a reader blocked or ran out of memory";
    // The endless line counts as a record line that does not parse; a line of that
    // length is no key line.
    EXPECT_EQ(*report, "1 1 0\n1 0\nx\n");
}

TEST(HostileFiles, LinesPastTheLimitAreSkippedAndCounted) {
    TempProfile dir;
    const std::string path = dir.File("m3d.gl");
    std::string longest = kBlockRecord;
    longest += std::string(2999 - longest.size(), ' ');   // the longest record line
    std::string text = std::string(5000000, 'h') + "\n";  // a header of 5 MB
    text += kBlockRecord + std::string("\n");             // line 1
    text += std::string(3000, '1') + "\n";                // line 2: too long
    text += longest + "\r\n";                             // line 3: fits with CR LF
    text += std::string(kBlockRecord) + std::string(3000000, ' ') + "\n";  // line 4
    text += longest + " \n";                                               // line 5: 3000
    text += kBlockRecord;                                                  // line 6, no LF
    WriteText(path, text);
    ModelFileCache cache;
    ASSERT_TRUE(cache.Load(path));
    EXPECT_EQ(cache.lineCount, 6);
    std::vector<int> parsed;
    for (const ParsedRecord& r : cache.records) parsed.push_back(r.line);
    EXPECT_EQ(parsed, (std::vector<int>{1, 3, 6}));
}

TEST(HostileFiles, CacheNeverServesAFileThatCannotBeOpenedNow) {
    TempProfile dir;
    const std::string path = dir.File("m3d.gl");
    WriteText(path, std::string("h\n") + kBlockRecord + "\n");
    ModelFileCache cache;
    ASSERT_TRUE(cache.Load(path));
    ASSERT_EQ(cache.records.size(), 1u);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    // Replaced by a folder: nothing to read, and nothing kept from before.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(cache.Load(path));
    EXPECT_EQ(cache.lineCount, 0);
    EXPECT_TRUE(cache.records.empty());

    // Replaced by another file of the same size and time: read anew.
    std::filesystem::remove(path);
    WriteText(path, std::string("h\n") + "7" + (kBlockRecord + 1) + "\n");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    ASSERT_TRUE(cache.Load(path));
    EXPECT_EQ(cache.lineCount, 1);
    EXPECT_TRUE(cache.records.empty());  // type 7 is not drawn

    // A file whose read permission is taken away (root reads it all the same).
    if (::geteuid() != 0) {
        WriteText(path, std::string("h\n") + kBlockRecord + "\n");
        ASSERT_TRUE(cache.Load(path));
        ::chmod(path.c_str(), 0);
        EXPECT_FALSE(cache.Load(path));
    }
}

// The viewer started with FIFOs where its files are: start-up goes on at once. The
// start-up runs on a thread of its own; should it block in a FIFO, the FIFOs are
// opened for writing to let it go, and the test fails.
TEST(HostileFiles, ViewerStartsWithFifosForItsFiles) {
    enum Where { SettingsFile, OrxIni, NamedModel };
    for (const Where where : {SettingsFile, OrxIni, NamedModel}) {
        SCOPED_TRACE(where);
        ViewerRig rig;
        WriteModel(rig.Prog() + "a3d.gl");
        const std::string model = rig.Models() + "fifo3d.gl";
        std::vector<std::string> fifos;
        if (where == SettingsFile) fifos.push_back(rig.dir.File("orx-view.ini"));
        if (where == OrxIni) fifos.push_back(rig.dir.File("ORX.INI"));
        if (where == NamedModel) {
            fifos.push_back(model);
            rig.NameInOrxIni(model);
        }
        for (const std::string& f : fifos) ASSERT_EQ(::mkfifo(f.c_str(), 0644), 0);

        std::string modelPath;
        bool demo = false, following = true;
        std::promise<void> done;
        std::future<void> finished = done.get_future();
        std::thread start([&] {
            rig.Start();
            modelPath = Probe(*rig.dlg).m_strModelPath;
            rig.Ticks(100);  // the demo shows its first model
            demo = Probe(*rig.dlg).m_nDemoTick >= 0;
            following = Probe(*rig.dlg).m_bLiveFollow;
            rig.dlg.reset();  // the context belongs to this thread
            done.set_value();
        });
        const bool inTime =
            finished.wait_for(std::chrono::seconds(kCeilingSeconds)) == std::future_status::ready;
        // A blocked open of a FIFO returns once a writer comes and goes.
        for (int i = 0; i < 600 && finished.wait_for(std::chrono::milliseconds(100)) !=
                                       std::future_status::ready;
             ++i) {
            for (const std::string& f : fifos) ::close(::open(f.c_str(), O_WRONLY | O_NONBLOCK));
        }
        if (finished.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
            start.join();
        } else {
            start.detach();
        }
        ASSERT_TRUE(inTime) << "start-up blocked";

        // The start-up went on as without the file: no model could be read, so the
        // demo runs, and follow mode waits for a model it can read. A FIFO named as
        // the model is accepted by name and not read.
        EXPECT_EQ(modelPath, where == NamedModel ? model : "");
        EXPECT_TRUE(demo);
        EXPECT_TRUE(following);
        EXPECT_EQ(rig.CountMessages("Fehler bei Schreiben der Ini Datei:\norx-view.ini"),
                  where == SettingsFile ? 1 : 0);
        for (const std::string& f : fifos) {
            struct stat st {};
            EXPECT_EQ(::lstat(f.c_str(), &st), 0);
            EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "a FIFO was replaced";
        }
    }
}

}  // namespace
}  // namespace orx::test
