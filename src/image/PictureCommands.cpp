// Saving and printing the picture on screen.
#include "app/ViewerDlg.h"

namespace orx {

void CViewerDlg::OnSavePicture() {}
void CViewerDlg::OnPrintPicture() {}

}  // namespace orx
