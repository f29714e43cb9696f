#include "platform/qt/ScreenFit.h"

namespace orx {

QRect FitToScreen(const QRect& wanted, const QRect& available) {
    if (available.isEmpty()) return wanted;
    QRect fitted = wanted;
    if (wanted.width() > available.width()) {
        fitted.setWidth(available.width());
        fitted.moveLeft(available.left());
    }
    if (wanted.height() > available.height()) {
        fitted.setHeight(available.height());
        fitted.moveTop(available.top());
    }
    // The title bar is the handle for moving the window: its top never lies above the area.
    if (fitted.top() < available.top()) fitted.moveTop(available.top());
    return fitted;
}

}  // namespace orx
