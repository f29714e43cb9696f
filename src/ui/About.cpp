#include "ui/About.h"

#include "app/ViewerDlg.h"

namespace orx {

CAboutDlg::CAboutDlg() {
    m_strInfo = std::string("ORX-View is part of the ORX-Soft furniture design family, ") +
                kWebAddress + "\n\n";
    m_strInfo +=
        "This viewer may be used and passed on free of charge together with the models "
        "it shows.\n";
    m_strInfo +=
        "It comes without any warranty; the models remain the property of their "
        "designers.\n\n";
    m_strInfo += "ORX-Soft Möbelsoftware\n\n";
    m_strInfo += std::string("WWW\t") + kWebAddress + "\n";
    m_strInfo += "EAMIL\tinfo@orx-soft.example\n";
    m_strInfo += "TEL\t+49 0000 000000\n";
    m_strInfo += "FAX\t+49 0000 000001\n";
    m_strInfo += "Werkstattweg 1, 00000 Musterstadt";
    m_strInfo += std::string("\n\n") + kVersionLine;
}

void CAboutDlg::DoModal(Platform& platform) const { platform.ShowAboutBox(m_strInfo); }

void CViewerDlg::ShowAbout() {
    // From the context menu the timer services pause while the box is up.
    m_bTimerActive = 0;
    CAboutDlg().DoModal(m_platform);
    m_bTimerActive = 1;
}

}  // namespace orx
