#pragma once
// The context menu as a QMenu.
#include "platform/Platform.h"

class QMenu;

namespace orx {

// Fills the menu with the entries of a popup: each command carries its id as the
// action's data; separators stay wherever they stand, the leading one included.
void FillPopupMenu(QMenu& menu, const MenuItem& popup);

}  // namespace orx
