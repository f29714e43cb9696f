#pragma once
// The About box: the product line, notices and contact details.
#include <string>

namespace orx {

class Platform;

// The maker's web address, in the title and in the About box.
inline constexpr const char* kWebAddress = "www.orx-soft.example";

class CAboutDlg {
public:
    CAboutDlg();
    void DoModal(Platform& platform) const;
    static constexpr const char* kCaption = "ORX-SOFT";
    static constexpr const char* kProductLine = "ORX-View ORX-SOFT openGL Viewer";
    std::string m_strInfo;
};

}  // namespace orx
