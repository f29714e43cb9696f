// Commands and input dispatch: context menu, key table, command routing.
#include "app/ViewerDlg.h"

namespace orx {

void CViewerDlg::OnKeyDown(unsigned, unsigned, unsigned) {}
void CViewerDlg::OnContextMenu(Point) {}
bool CViewerDlg::OnCommand(int) { return false; }
const MenuItem& CViewerDlg::ContextMenuResource() {
    static const MenuItem menu{MenuItem::Popup, "Parameter", 0, {}};
    return menu;
}

}  // namespace orx
