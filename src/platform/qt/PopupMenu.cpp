#include "platform/qt/PopupMenu.h"

#include <QMenu>

namespace orx {

void FillPopupMenu(QMenu& menu, const MenuItem& popup) {
    // QMenu would hide a separator at the top or bottom and one next to another.
    menu.setSeparatorsCollapsible(false);
    for (const MenuItem& item : popup.children) {
        if (item.kind == MenuItem::Separator) {
            menu.addSeparator();
        } else if (item.kind == MenuItem::Popup) {
            FillPopupMenu(*menu.addMenu(QString::fromStdString(item.text)), item);
        } else {
            QAction* action = menu.addAction(QString::fromStdString(item.text));
            action->setData(item.id);
        }
    }
}

}  // namespace orx
