#pragma once
// Keeping the window on its screen.
#include <QRect>

namespace orx {

// The window rectangle made to fit the available area of its screen: a side longer than
// the area's is cut to the area's length and starts where the area starts. A side that
// fits keeps its length and place.
QRect FitToScreen(const QRect& wanted, const QRect& available);

}  // namespace orx
