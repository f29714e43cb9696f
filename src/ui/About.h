#pragma once
// The About box: the product line, notices and contact details.
#include <string>

#include "model/Title.h"

namespace orx {

class Platform;

class CAboutDlg {
public:
    CAboutDlg();
    void DoModal(Platform& platform) const;
    static constexpr const char* kCaption = "ORX-SOFT";
    static constexpr const char* kProductLine = "ORX-View ORX-SOFT openGL Viewer";
    // The program's version, as the build sets it; the last line of the info text.
    static constexpr const char* kVersionLine = "Version " ORX_VERSION;
    std::string m_strInfo;
};

}  // namespace orx
