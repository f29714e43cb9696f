// A program killed in the middle of writing the settings file or saving a picture
// leaves each file either old or new, never cut short.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>
#include <utility>

#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "image/WindowCapture.h"
#include "ui/IniFile.h"
#include "ui/Profile.h"

extern char** environ;

namespace orx {
namespace {

using test::ReadText;
using test::TempProfile;
using test::WriteText;

// Two versions of a settings file that differ in length, so that a cut file shows.
std::string SettingsVersion(int v) {
    std::string text = "; kept comment\n[ORX-VIEW]\nx=10\n[common]\n";
    for (int i = 0; i < 200; ++i)
        text += "key" + std::to_string(i) + "=" + (v ? "0xFFFF" : "0x1") + "\n";
    return text;
}

ScreenPicture PictureVersion(int v) {
    ScreenPicture p;
    p.width = 300 + v * 20;
    p.height = 200;
    p.bgra.assign(static_cast<size_t>(p.width) * p.height * 4, static_cast<uint8_t>(v ? 200 : 50));
    return p;
}

// Runs in the child process: writes alternately the two versions until killed. After
// its first whole write it reports on the descriptor named by ORX_KILL_READY_FD, so
// that the parent kills a writer that is known to be at work.
TEST(KillSafety, ChildWriter) {
    const char* what = std::getenv("ORX_KILL_CHILD");
    if (!what) GTEST_SKIP() << "runs only as the child of the kill tests";
    const std::string target = std::getenv("ORX_KILL_TARGET");
    const char* readyFd = std::getenv("ORX_KILL_READY_FD");
    int ready = readyFd ? std::atoi(readyFd) : -1;
    // Each write replaces the whole file; the first one completed is reported.
    const auto reportOnce = [&ready] {
        if (ready < 0) return;
        const char byte = '!';
        (void)!::write(ready, &byte, 1);
        ::close(ready);
        ready = -1;
    };
    // Rounds start alternately with the one and the other version, so that every
    // round's first write changes the file.
    const char* first = std::getenv("ORX_KILL_FIRST");
    for (int v = first && *first == '0' ? 0 : 1;; v ^= 1) {
        if (std::string(what) == "settings") {
            const std::filesystem::path file(target);
            CProfile profile(file.parent_path().string(), file.filename().string(), 1, false);
            for (int i = 0; i < 200; ++i) {
                profile.WriteInt("common", "key" + std::to_string(i), v ? 0xFFFF : 0x1);
                reportOnce();
            }
        } else {
            CWindowCapture capture;
            const ScreenPicture picture = PictureVersion(v);
            capture.BuildDib(picture, picture.width, picture.height, 32);
            capture.Save(target);
            reportOnce();
        }
    }
}

// Waits until the writer reports its first whole write (or ends); false when the
// report did not come within a generous ceiling.
bool WaitForReport(int fd) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 60000) <= 0) return false;
    char byte = 0;
    return ::read(fd, &byte, 1) == 1;
}

// Starts this test program as a writer and kills it at a random moment after it has
// completed its first write, so that the kill falls while it writes again.
void KillWriterManyTimes(const std::string& what, const std::string& target, int rounds,
                         const std::function<void()>& check) {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    self[n] = '\0';
    std::mt19937 random(12345);
    for (int round = 0; round < rounds; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        const std::pair<const char*, std::string> env[] = {
            {"ORX_KILL_CHILD", what},
            {"ORX_KILL_TARGET", target},
            {"ORX_KILL_READY_FD", "3"},
            {"ORX_KILL_FIRST", round % 2 ? "0" : "1"}};
        for (const auto& [name, value] : env) ::setenv(name, value.c_str(), 1);
        char filter[] = "--gtest_filter=KillSafety.ChildWriter";
        char* argv[] = {self, filter, nullptr};
        pid_t pid = 0;
        const int spawned = ::posix_spawn(&pid, self, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        for (const auto& [name, value] : env) ::unsetenv(name);
        ::close(fds[1]);
        ASSERT_EQ(spawned, 0);
        const bool reported = WaitForReport(fds[0]);
        ::close(fds[0]);
        // A random moment within the next few writes.
        if (reported) std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(reported) << "the writer never completed a write";
        check();
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(KillSafety, SettingsFileIsAlwaysOldOrNew) {
    TempProfile dir;
    const std::string path = dir.File("orx-view.ini");
    WriteText(path, SettingsVersion(0));
    std::string previous = SettingsVersion(0);
    int changed = 0;
    KillWriterManyTimes("settings", path, 30, [&] {
        const std::string text = ReadText(path);
        // Every write replaces one key; each state is a whole file with all 200 keys.
        ASSERT_EQ(text.rfind("; kept comment\n[ORX-VIEW]\nx=10\n[common]\n", 0), 0u) << text;
        int keys = 0;
        for (size_t p = text.find("\nkey"); p != std::string::npos; p = text.find("\nkey", p + 1))
            ++keys;
        ASSERT_EQ(keys, 200);
        ASSERT_EQ(text.back(), '\n');
        if (text != previous) ++changed;
        previous = text;
    });
    // The writers were at work when they were killed: rounds changed the file (a round
    // leaves it unchanged only when its writer went once round all keys and then some).
    EXPECT_GT(changed, 15);
    // No temporary file is left except, at most, the one of the write that was killed.
    int others = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path))
        if (e.path().filename() != "orx-view.ini") ++others;
    EXPECT_LE(others, 30);
}

TEST(KillSafety, SavedPictureIsAlwaysOldOrNew) {
    TempProfile dir;
    const std::string path = dir.File("bild.bmp");
    const size_t sizes[2] = {54 + 300 * 200 * 4, 54 + 320 * 200 * 4};
    bool seenSave = false;
    int changed = 0;
    std::string previous;
    KillWriterManyTimes("picture", path, 30, [&] {
        if (!std::filesystem::exists(path)) {
            ASSERT_FALSE(seenSave) << "a saved picture disappeared";
            return;
        }
        seenSave = true;
        const std::string data = ReadText(path);
        ASSERT_TRUE(data.size() == sizes[0] || data.size() == sizes[1]) << data.size();
        const uint8_t fill = data.size() == sizes[0] ? 50 : 200;
        ASSERT_EQ(static_cast<uint8_t>(data[54]), fill);
        const auto last = static_cast<uint8_t>(data.back());
        ASSERT_TRUE(last == 0 || last == fill) << int(last);
        if (data != previous) ++changed;
        previous = data;
    });
    EXPECT_TRUE(seenSave);
    // Both pictures were seen: the kills fell at different points of the alternating saves.
    EXPECT_GT(changed, 1);
}

}  // namespace
}  // namespace orx
