#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace orx {

namespace {
Platform* g_messagePlatform = nullptr;
std::string g_programName = "orx-view";
}  // namespace

void SetMessagePlatform(Platform* platform) { g_messagePlatform = platform; }
Platform* GetMessagePlatform() { return g_messagePlatform; }

void ShowMessage(const std::string& text, MsgIcon icon) {
    if (g_messagePlatform) {
        g_messagePlatform->MessageBox(text, icon);
    } else {
        std::fprintf(stderr, "%s: %s\n", g_programName.c_str(), text.c_str());
    }
}

std::string ProgramName() { return g_programName; }
void SetProgramName(const std::string& name) { g_programName = name; }

}  // namespace orx
