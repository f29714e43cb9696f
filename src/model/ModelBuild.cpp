// Model build into display list 1, file acceptance and the window title.
#include "app/ViewerDlg.h"

namespace orx {

void CViewerDlg::LoadModel(const std::string&) {}
void CViewerDlg::RebuildModel(const std::string& path) { LoadModel(path); }
void CViewerDlg::OpenModelFile(const std::string&) {}
void CViewerDlg::UpdateTitle(int) {}
void CViewerDlg::OnOpenModel() {}

}  // namespace orx
