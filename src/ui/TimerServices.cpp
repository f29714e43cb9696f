// The 10-millisecond timer: follow mode, auto-rotation and the demo slideshow.
#include "app/ViewerDlg.h"

namespace orx {

void CViewerDlg::OnTimer(unsigned) {}
void CViewerDlg::LiveFollowCheck() {}
void CViewerDlg::DemoStep() {}
void CViewerDlg::StartDemo() {}
int CViewerDlg::RandomUpTo(int) { return 0; }
bool CViewerDlg::FindFiles(const std::string&, const std::string&, std::vector<std::string>&,
                           int) {
    return false;
}

}  // namespace orx
