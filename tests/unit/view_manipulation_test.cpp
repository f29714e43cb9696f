// View manipulation: shifts, zoom, centring, rotation keys, auto-rotation and
// drag rotation, with the redraws and the settings they cause.
#include <gtest/gtest.h>

#include <cmath>

#include "ViewerProbe.h"
#include "ViewerRig.h"

namespace orx::test {
namespace {

// A viewer started on one block named by the design program, its view centred with C:
// origin (0, 0, -2), angles (0, 0, 1) after the first turning step of a first start.
class ViewRig : public ViewerRig {
public:
    ViewRig() {
        StartFollowing("block3d.gl");
        Key('C');
    }
    double Origin(int axis) const { return Probe(*dlg).m_dOrigin[axis]; }
    double Angle(int axis) const { return Probe(*dlg).m_dAngle[axis]; }
    int Redraws() const { return platform.invalidations; }
};

TEST(ViewManipulation, ShiftAndZoomStepATenth) {
    ViewRig v;
    const int before = v.Redraws();
    for (unsigned key : {'L', 'L', 'R'}) v.Key(key);
    EXPECT_DOUBLE_EQ(v.Origin(0), -0.1);
    for (unsigned key : {'H', 'H', 'U'}) v.Key(key);
    EXPECT_DOUBLE_EQ(v.Origin(1), 0.1);
    v.Key('A');
    EXPECT_DOUBLE_EQ(v.Origin(2), -2.1);
    v.Key('Q');
    EXPECT_DOUBLE_EQ(v.Origin(2), -2.0);
    EXPECT_EQ(v.Redraws(), before + 8);

    // Nothing stops the model at the near plane: 20 steps in pass through it.
    for (int i = 0; i < 25; ++i) v.Key('Q');
    EXPECT_NEAR(v.Origin(2), 0.5, 1e-9);
    EXPECT_EQ(v.Angle(0), 0.0);  // shifts never turn the model
}

TEST(ViewManipulation, CentreKeepsZAngleAndScale) {
    ViewRig v;
    for (unsigned key : {unsigned('R'), unsigned('Q'), vk::INSERT, vk::NEXT, vk::HOME}) v.Key(key);
    Probe(*v.dlg).m_fScale[0] = 3.0f;  // a scale no model of this test has
    const int before = v.Redraws();
    v.Key('C');
    EXPECT_EQ(v.Origin(0), 0.0);
    EXPECT_EQ(v.Origin(1), 0.0);
    EXPECT_EQ(v.Origin(2), -2.0);
    EXPECT_EQ(v.Angle(0), 0.0);
    EXPECT_EQ(v.Angle(1), 0.0);
    EXPECT_EQ(v.Angle(2), 3.5);
    EXPECT_EQ(Probe(*v.dlg).m_fScale[0], 3.0f);
    EXPECT_EQ(v.Redraws(), before + 1);
}

TEST(ViewManipulation, RotationKeysAreNeverWrapped) {
    ViewRig v;
    const int before = v.Redraws();
    for (int i = 0; i < 200; ++i) v.Key(vk::PRIOR);
    EXPECT_DOUBLE_EQ(v.Angle(1), 500.0);
    v.Key(vk::DELETE_);
    v.Key(vk::END);
    EXPECT_EQ(v.Angle(0), -2.5);
    EXPECT_EQ(v.Angle(2), -1.5);
    EXPECT_EQ(v.Redraws(), before + 202);
    // An axis that does not exist changes nothing.
    v.dlg->RotateBy(3, 10);
    v.dlg->RotateBy(-1, 10);
    EXPECT_EQ(v.Redraws(), before + 202);
}

TEST(ViewManipulation, AutoRotationSteps) {
    ViewRig v;
    v.Click();  // stops the turning of a first start
    const int before = v.Redraws();
    v.Key(vk::SPACE);
    EXPECT_TRUE(Probe(*v.dlg).m_bAutoRotate);
    EXPECT_EQ(v.Setting("RotateTimeOn"), "1");
    EXPECT_EQ(v.Redraws(), before);  // the next tick redraws

    v.Key(vk::HOME);  // undone by the next step
    v.Ticks(1);
    EXPECT_EQ(v.Angle(0), -0.25);
    EXPECT_EQ(v.Angle(1), -0.5);
    EXPECT_EQ(v.Angle(2), 1.0);
    v.Ticks(719);
    EXPECT_DOUBLE_EQ(v.Angle(1), -360.0);  // a full turn in 720 ticks
    EXPECT_DOUBLE_EQ(v.Angle(0), -180.0);
    EXPECT_EQ(v.Angle(2), 1.0);
    EXPECT_EQ(v.Redraws(), before + 1 + 720);
}

TEST(ViewManipulation, DragTurnsOneDegreePerPixelTheUserSees) {
    // The points come in device pixels: on a screen scaled to 200 % (150 %) each pixel
    // the user sees is two (one and a half) of them.
    for (const double ratio : {1.0, 2.0, 1.5}) {
        SCOPED_TRACE(ratio);
        ViewRig v;
        v.platform.pixelRatio = ratio;
        const auto at = [ratio](int x, int y) {
            return Point{static_cast<int>(std::lround(x * ratio)),
                         static_cast<int>(std::lround(y * ratio))};
        };
        WriteModel(v.Prog() + "block3d.gl");
        v.Key('P');  // the demo turns the model
        ASSERT_GE(Probe(*v.dlg).m_nDemoTick, 0);
        CViewerDlg& d = *v.dlg;
        const int before = v.Redraws();

        // Moving without a press does nothing.
        d.OnMouseMove(0, at(300, 300));
        EXPECT_EQ(v.Angle(1), 0.0);
        EXPECT_EQ(v.Redraws(), before);

        d.OnLButtonDown(1, at(100, 50));
        EXPECT_EQ(Probe(d).m_bDragging, 1);
        EXPECT_EQ(Probe(d).m_nDemoTick, -2);  // ends the demo
        EXPECT_FALSE(Probe(d).m_bAutoRotate);
        EXPECT_EQ(v.Setting("RotateTimeOn"), "0");

        d.OnMouseMove(0, at(145, 50));
        d.OnMouseMove(0, at(190, 50));  // 90 pixels to the right in all
        EXPECT_DOUBLE_EQ(v.Angle(1), 90.0);
        EXPECT_EQ(v.Angle(0), 0.0);
        d.OnMouseMove(0, at(190, 40));  // up turns about x the other way
        EXPECT_DOUBLE_EQ(v.Angle(0), -10.0);
        EXPECT_EQ(v.Redraws(), before + 3);

        d.OnLButtonUp(1, at(190, 40));
        EXPECT_EQ(Probe(d).m_bDragging, 0);
        d.OnMouseMove(0, at(400, 400));
        EXPECT_DOUBLE_EQ(v.Angle(1), 90.0);
        EXPECT_EQ(v.Redraws(), before + 3);
    }
}

}  // namespace
}  // namespace orx::test
