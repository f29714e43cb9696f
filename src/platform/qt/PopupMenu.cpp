#include "platform/qt/PopupMenu.h"

#include <QActionGroup>
#include <QMenu>

namespace orx {

void FillPopupMenu(QMenu& menu, const MenuItem& popup) {
    // QMenu would hide a separator at the top or bottom and one next to another.
    menu.setSeparatorsCollapsible(false);
    QActionGroup* radios = nullptr;
    for (const MenuItem& item : popup.children) {
        // Radio entries in a row are one group; anything else between them ends it.
        if (item.kind != MenuItem::Command || item.mark != MenuItem::RadioMark) radios = nullptr;
        if (item.kind == MenuItem::Separator) {
            menu.addSeparator();
        } else if (item.kind == MenuItem::Popup) {
            FillPopupMenu(*menu.addMenu(QString::fromStdString(item.text)), item);
        } else {
            QAction* action = menu.addAction(QString::fromStdString(item.text));
            action->setData(item.id);
            if (item.mark != MenuItem::NoMark) {
                action->setCheckable(true);
                action->setChecked(item.checked);
            }
            if (item.mark == MenuItem::RadioMark) {
                if (!radios) radios = new QActionGroup(&menu);
                radios->addAction(action);
            }
        }
    }
}

}  // namespace orx
