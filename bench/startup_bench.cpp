// The viewer window as orx-view starts it, timed: from the launch of the process
// to the first frame on screen (the window with its background) and to the frame
// that shows the model, then from an option key to the next frame.
// Usage: orx-startup-bench LAUNCH_TIME [KEY...]
//   LAUNCH_TIME  wall-clock seconds at the launch (date +%s.%N)
//   KEY          F1..F4 or a letter, pressed one after another once a frame is shown
// Prints "first-frame S" and one "key K S" line per key, in seconds. Runs with the
// profile folder ($XDG_CONFIG_HOME) and program folder the script prepared.
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/MemoryTuning.h"
#include "platform/qt/ViewerWindow.h"

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

Qt::Key KeyOf(const std::string& name) {
    if (name == "F1") return Qt::Key_F1;
    if (name == "F2") return Qt::Key_F2;
    if (name == "F3") return Qt::Key_F3;
    if (name == "F4") return Qt::Key_F4;
    return static_cast<Qt::Key>(Qt::Key_A + (name[0] - 'A'));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orx-startup-bench LAUNCH_TIME [KEY...]\n");
        return 2;
    }
    const double launched = std::atof(argv[1]);
    std::vector<std::string> keys(argv + 2, argv + argc);

    // The format and set-up of orx-view's main.
    orx::KeepFreedMemoryForReuse();
    orx::SetViewerSurfaceFormat();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    orx::SetProgramName("orx-view");

    orx::ViewerWindow window;
    size_t next = 0;
    double pressed = 0;
    bool first = true, modelShown = false;
    QObject::connect(&window, &QOpenGLWidget::frameSwapped, &window, [&] {
        const double now = Now();
        // The first frame shows the window with its background, a later one the model
        // (compiled by it).
        if (first) {
            first = false;
            std::printf("first-frame %.3f\n", now - launched);
            std::fflush(stdout);
        }
        if (!modelShown) {
            if (window.ModelWaiting()) return;
            modelShown = true;
            std::printf("model-frame %.3f\n", now - launched);
        } else if (pressed > 0) {
            std::printf("key %s %.3f\n", keys[next - 1].c_str(), now - pressed);
            pressed = 0;
        } else {
            return;  // a frame of the automatic rotation
        }
        std::fflush(stdout);
        if (next == keys.size()) {
            QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
            return;
        }
        // The next key once this frame is out, as a user's key would arrive.
        QTimer::singleShot(0, &window, [&] {
            const std::string& name = keys[next++];
            QKeyEvent press(QEvent::KeyPress, KeyOf(name), Qt::NoModifier);
            pressed = Now();
            QApplication::sendEvent(&window, &press);
        });
    });
    window.show();
    return app.exec();
}
