// Times follow mode in the real window: from the moment the design program has
// finished writing its model file to the first frame showing the new model.
// Usage: orx-follow-bench A.gl B.gl [rounds]
// The named model is saved `rounds` times, alternately with the contents of A and B,
// once written in place and once replaced through a rename, with the window still
// between saves (auto-rotation off). Needs a display.
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/qt/ViewerWindow.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: orx-follow-bench A.gl B.gl [rounds]\n");
        return 2;
    }
    const std::string contents[2] = {ReadAll(argv[1]), ReadAll(argv[2])};
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;

    char folder[] = "/tmp/orx-follow-bench-XXXXXX";
    const std::string dir = ::mkdtemp(folder) ? folder : "/tmp";
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    ::setenv("WINEPREFIX", (dir + "/wine").c_str(), 1);
    const std::string model = dir + "/live3d.gl";
    WriteAll(dir + "/orx-view.ini", "[common]\nRotateTimeOn=0\n");
    WriteAll(model, contents[0]);
    WriteAll(dir + "/ORX.INI", "[LIFE]\nACTUAL=" + model + "\n");

    QApplication app(argc, argv);
    orx::ViewerWindow window;
    int frames = 0;
    Clock::time_point lastFrame = Clock::now();
    QObject::connect(&window, &QOpenGLWidget::frameSwapped, [&] {
        ++frames;
        lastFrame = Clock::now();
    });
    window.show();

    std::vector<double> inPlace, renamed;
    int round = 0;
    int framesAtSave = -1;
    Clock::time_point saved;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        if (framesAtSave >= 0) {
            if (frames == framesAtSave) {
                if (now - saved > std::chrono::seconds(5)) {
                    std::fprintf(stderr, "no new frame within 5 s\n");
                    app.exit(1);
                }
                return;
            }
            const double ms = std::chrono::duration<double, std::milli>(lastFrame - saved).count();
            (round % 2 == 0 ? inPlace : renamed).push_back(ms);
            framesAtSave = -1;
            ++round;
            return;
        }
        // The window has been still for a while: save.
        if (frames == 0 || now - lastFrame < std::chrono::milliseconds(1500)) return;
        if (round >= 2 * rounds) {
            app.quit();
            return;
        }
        const std::string& text = contents[(round + 1) % 2];
        if (round % 2 == 0) {
            WriteAll(model, text);
        } else {
            WriteAll(model + ".tmp", text);
            std::filesystem::rename(model + ".tmp", model);
        }
        saved = Clock::now();
        framesAtSave = frames;
    });
    poll.start();
    const int rc = app.exec();
    auto report = [](const char* what, std::vector<double> v) {
        if (v.empty()) return;
        std::sort(v.begin(), v.end());
        std::printf("%-22s n=%zu  min %.1f ms  median %.1f ms  max %.1f ms\n", what, v.size(),
                    v.front(), v[v.size() / 2], v.back());
    };
    report("written in place", inPlace);
    report("replaced by rename", renamed);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return rc;
}
