// The nine numbered textures and the load-texture dialog.
#include "app/ViewerDlg.h"

namespace orx {

void CViewerDlg::SelectTexture(int, bool) {}
void CViewerDlg::OnLoadTexture() {}

}  // namespace orx
