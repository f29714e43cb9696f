// View manipulation: shifts, zoom, centring, rotation keys, auto-rotation and
// drag rotation, with the redraws and the settings they cause.
#include <gtest/gtest.h>

#include "RecordingSink.h"
#include "ViewerProbe.h"

namespace orx::test {
namespace {

TEST(ViewManipulation, ShiftAndZoomStepATenth) {
    RecordingRig v;
    CViewerDlg& d = *v.dlg;
    d.ShiftLeft();
    d.ShiftLeft();
    d.ShiftRight();
    EXPECT_DOUBLE_EQ(Probe(d).m_dOrigin[0], -0.1);
    d.ShiftUp();
    d.ShiftUp();
    d.ShiftDown();
    EXPECT_DOUBLE_EQ(Probe(d).m_dOrigin[1], 0.1);
    d.ZoomOut();
    EXPECT_DOUBLE_EQ(Probe(d).m_dOrigin[2], -2.1);
    d.ZoomIn();
    EXPECT_DOUBLE_EQ(Probe(d).m_dOrigin[2], -2.0);
    EXPECT_EQ(v.platform.invalidations, 8);

    // Nothing stops the model at the near plane: 20 steps in pass through it.
    for (int i = 0; i < 25; ++i) d.ZoomIn();
    EXPECT_NEAR(Probe(d).m_dOrigin[2], 0.5, 1e-9);
    EXPECT_EQ(Probe(d).m_dAngle[0], 0.0);  // shifts never turn the model
}

TEST(ViewManipulation, CentreKeepsZAngleAndScale) {
    RecordingRig v;
    CViewerDlg& d = *v.dlg;
    d.ShiftRight();
    d.ZoomIn();
    d.RotateBy(0, 2.5);
    d.RotateBy(1, -2.5);
    d.RotateBy(2, 2.5);
    Probe(d).m_fScale[0] = 3.0f;
    const int before = v.platform.invalidations;
    d.CentreView();
    EXPECT_EQ(Probe(d).m_dOrigin[0], 0.0);
    EXPECT_EQ(Probe(d).m_dOrigin[1], 0.0);
    EXPECT_EQ(Probe(d).m_dOrigin[2], -2.0);
    EXPECT_EQ(Probe(d).m_dAngle[0], 0.0);
    EXPECT_EQ(Probe(d).m_dAngle[1], 0.0);
    EXPECT_EQ(Probe(d).m_dAngle[2], 2.5);
    EXPECT_EQ(Probe(d).m_fScale[0], 3.0f);
    EXPECT_EQ(v.platform.invalidations, before + 1);
}

TEST(ViewManipulation, RotationKeysAreNeverWrapped) {
    RecordingRig v;
    CViewerDlg& d = *v.dlg;
    for (int i = 0; i < 200; ++i) d.RotateBy(1, 2.5);
    EXPECT_DOUBLE_EQ(Probe(d).m_dAngle[1], 500.0);
    d.RotateBy(0, -2.5);
    d.RotateBy(2, -2.5);
    EXPECT_EQ(Probe(d).m_dAngle[0], -2.5);
    EXPECT_EQ(Probe(d).m_dAngle[2], -2.5);
    EXPECT_EQ(v.platform.invalidations, 202);
    // An axis that does not exist changes nothing.
    d.RotateBy(3, 10);
    d.RotateBy(-1, 10);
    EXPECT_EQ(v.platform.invalidations, 202);
}

TEST(ViewManipulation, AutoRotationSteps) {
    RecordingRig v;
    CViewerDlg& d = *v.dlg;
    Probe(d).m_bAutoRotate = false;
    const int before = v.platform.invalidations;
    d.StartAutoRotate();
    EXPECT_TRUE(Probe(d).m_bAutoRotate);
    EXPECT_EQ(v.Setting("RotateTimeOn"), "1");
    EXPECT_EQ(v.platform.invalidations, before);  // the next tick redraws

    d.RotateBy(2, 2.5);  // Home: undone by the next step
    Probe(d).RotateStep();
    EXPECT_EQ(Probe(d).m_dAngle[0], -0.25);
    EXPECT_EQ(Probe(d).m_dAngle[1], -0.5);
    EXPECT_EQ(Probe(d).m_dAngle[2], 1.0);
    for (int i = 1; i < 720; ++i) Probe(d).RotateStep();
    EXPECT_DOUBLE_EQ(Probe(d).m_dAngle[1], -360.0);  // a full turn in 720 ticks
    EXPECT_DOUBLE_EQ(Probe(d).m_dAngle[0], -180.0);
    EXPECT_EQ(Probe(d).m_dAngle[2], 1.0);
    EXPECT_EQ(v.platform.invalidations, before + 1 + 720);
}

TEST(ViewManipulation, DragTurnsOneDegreePerPixel) {
    RecordingRig v;
    CViewerDlg& d = *v.dlg;
    Probe(d).m_nDemoTick = 40;
    Probe(d).m_bAutoRotate = true;

    // Moving without a press does nothing.
    d.OnMouseMove(0, Point{300, 300});
    EXPECT_EQ(Probe(d).m_dAngle[1], 0.0);
    EXPECT_EQ(v.platform.invalidations, 0);

    d.OnLButtonDown(1, Point{100, 50});
    EXPECT_EQ(Probe(d).m_bDragging, 1);
    EXPECT_EQ(Probe(d).m_nDemoTick, -2);  // ends the demo
    EXPECT_FALSE(Probe(d).m_bAutoRotate);
    EXPECT_EQ(v.Setting("RotateTimeOn"), "0");
    EXPECT_EQ(Probe(d).m_ptLast, (Point{100, 50}));

    d.OnMouseMove(0, Point{145, 50});
    d.OnMouseMove(0, Point{190, 50});  // 90 pixels to the right in all
    EXPECT_EQ(Probe(d).m_dAngle[1], 90.0);
    EXPECT_EQ(Probe(d).m_dAngle[0], 0.0);
    d.OnMouseMove(0, Point{190, 40});  // up turns about x the other way
    EXPECT_EQ(Probe(d).m_dAngle[0], -10.0);
    EXPECT_EQ(Probe(d).m_ptLast, (Point{190, 40}));
    EXPECT_EQ(v.platform.invalidations, 3);

    d.OnLButtonUp(1, Point{190, 40});
    EXPECT_EQ(Probe(d).m_bDragging, 0);
    d.OnMouseMove(0, Point{400, 400});
    EXPECT_EQ(Probe(d).m_dAngle[1], 90.0);
    EXPECT_EQ(v.platform.invalidations, 3);
}

}  // namespace
}  // namespace orx::test
