// View manipulation: shift, zoom, centre, rotation keys, drag and auto-rotation.
// Angles and translation are never clamped or wrapped; OpenGL takes any value.
#include <cmath>

#include "app/ViewerDlg.h"
#include "ui/SettingsKeys.h"

namespace orx {

namespace {
constexpr double kShiftStep = 0.1;
constexpr double kStartDistance = -2.0;
}  // namespace

void CViewerDlg::ShiftLeft() {
    m_dOrigin[0] -= kShiftStep;
    m_platform.Invalidate(false);
}

void CViewerDlg::ShiftRight() {
    m_dOrigin[0] += kShiftStep;
    m_platform.Invalidate(false);
}

void CViewerDlg::ShiftUp() {
    m_dOrigin[1] += kShiftStep;
    m_platform.Invalidate(false);
}

void CViewerDlg::ShiftDown() {
    m_dOrigin[1] -= kShiftStep;
    m_platform.Invalidate(false);
}

void CViewerDlg::ZoomIn() {
    m_dOrigin[2] += kShiftStep;
    m_platform.Invalidate(false);
}

void CViewerDlg::ZoomOut() {
    m_dOrigin[2] -= kShiftStep;
    m_platform.Invalidate(false);
}

// Back to the start position; the z angle and the scale stay.
void CViewerDlg::CentreView() {
    m_dOrigin[0] = 0.0;
    m_dOrigin[1] = 0.0;
    m_dOrigin[2] = kStartDistance;
    m_dAngle[0] = 0.0;
    m_dAngle[1] = 0.0;
    m_platform.Invalidate(false);
}

// Turns about x (0), y (1) or z (2); used by the six rotation keys.
void CViewerDlg::RotateBy(int axis, double degrees) {
    if (axis < 0 || axis > 2) return;
    m_dAngle[axis] += degrees;
    m_platform.Invalidate(false);
}

// The timer turns the model from the next tick on; nothing to redraw yet.
void CViewerDlg::StartAutoRotate() {
    m_bAutoRotate = true;
    m_pProfile->WriteBool(m_strSection, key::kAutoRotate, true);
}

// One timer step of the auto-rotation; the z tilt is set, not added.
void CViewerDlg::RotateStep() {
    m_dAngle[1] -= 0.5;
    m_dAngle[2] = 1.0;
    m_dAngle[0] -= 0.25;
    m_platform.Invalidate(false);
}

// The wheel zooms by the steps of Q and A.
void CViewerDlg::OnMouseWheel(unsigned, int zDelta, Point) {
    // Like a key, the wheel ends a running slideshow.
    m_nDemoTick = kDemoStopped;
    // One notch (120) is one zoom step; the parts of a notch that fine wheels and
    // touchpads report are added up. Turned away from the user, the model comes nearer.
    if ((zDelta > 0) != (m_nWheelRest > 0)) m_nWheelRest = 0;  // turned back: start anew
    m_nWheelRest += zDelta;
    while (m_nWheelRest >= kWheelNotch) {
        m_nWheelRest -= kWheelNotch;
        ZoomIn();
    }
    while (m_nWheelRest <= -kWheelNotch) {
        m_nWheelRest += kWheelNotch;
        ZoomOut();
    }
}

// A press starts a drag, ends a running demo and switches auto-rotation off for
// good. The mouse is not captured. With Ctrl it also picks the part under the
// pointer (or measures to it).
void CViewerDlg::OnLButtonDown(unsigned flags, Point point) {
    m_ptLast = point;
    m_nDemoTick = kDemoStopped;
    m_bDragging = 1;
    m_bAutoRotate = false;
    m_pProfile->WriteBool(m_strSection, key::kAutoRotate, false);
    if ((flags & kMouseControl) != 0) PickAt(point);
}

// One pixel of movement as the user sees it turns the model by one degree: right
// about y, down about x. The points come in device pixels, of which a scaled screen
// has several to each of the user's. Only the drag flag counts, not the buttons the
// message reports.
void CViewerDlg::OnMouseMove(unsigned, Point point) {
    if (m_bDragging == 0) return;
    double ratio = m_platform.DevicePixelRatio();
    if (!std::isfinite(ratio) || ratio <= 0) ratio = 1.0;
    m_dAngle[1] += (static_cast<double>(point.x) - m_ptLast.x) / ratio;
    m_dAngle[0] += (static_cast<double>(point.y) - m_ptLast.y) / ratio;
    m_ptLast = point;
    m_platform.Invalidate(false);
}

void CViewerDlg::OnLButtonUp(unsigned, Point) { m_bDragging = 0; }

}  // namespace orx
