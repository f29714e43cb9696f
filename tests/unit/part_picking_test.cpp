// Ctrl+click picks the part under the pointer and shows its size; a second
// Ctrl+click measures. Points to click are found with OpenGL's own projection of
// the frame's transforms.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "ViewerProbe.h"
#include "ViewerRig.h"
#include "export/PartsListing.h"
#include "geometry/PartSize.h"

namespace orx {
namespace {

// The pixel whose centre lies nearest the projection of a point of the model (mm).
Point ScreenPoint(CViewerDlg& d, double x, double y, double z) {
    ViewerProbe p(d);
    const ModelBounds& b = p.m_bounds;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(p.m_dOrigin[0], p.m_dOrigin[1], p.m_dOrigin[2]);
    glRotated(p.m_dAngle[0], 1, 0, 0);
    glRotated(p.m_dAngle[1], 0, 1, 0);
    glRotated(p.m_dAngle[2], 0, 0, 1);
    glScalef(p.m_fScale[0], p.m_fScale[1], p.m_fScale[2]);
    GLdouble model[16], projection[16], wx = 0, wy = 0, wz = 0;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPopMatrix();
    gluProject((x - b.centreX) / b.extent, (y - b.centreY) / b.extent, (z - b.centreZ) / b.extent,
               model, projection, viewport, &wx, &wy, &wz);
    return Point{static_cast<int>(std::floor(wx)),
                 viewport[3] - 1 - static_cast<int>(std::floor(wy))};
}

void CtrlClick(CViewerDlg& d, Point at) {
    d.OnLButtonDown(kMouseControl, at);
    d.OnLButtonUp(kMouseControl, at);
}

// A corner written for these tests, listed in another order than its depth: a back
// board, in front of it an L-shaped top whose outline starts at a convex corner, so
// that a fan from its first corner would cover the notch, and between the two a
// shelf that shows through the notch. The L's reference outline lies at its own flat
// coordinates; the placed one, which it is drawn and measured at, is moved.
const char* const kCornerModel =
    "Ecke\n"
    "8 1 8 0,0,19 1000,0,19 1000,1000,19 0,1000,19 0,0,0 1000,0,0 1000,1000,0 0,1000,0\n"
    "12 2 12 800,0,0 800,400,0 400,400,0 400,800,0 0,800,0 0,0,0"
    " 800,0,38 800,400,38 400,400,38 400,800,38 0,800,38 0,0,38"
    " 900,100,200 900,500,200 500,500,200 500,900,200 100,900,200 100,100,200"
    " 900,100,238 900,500,238 500,500,238 500,900,238 100,900,238 100,100,238\n"
    "8 3 8 0,0,119 1000,0,119 1000,600,119 0,600,119 0,0,100 1000,0,100 1000,600,100 0,600,100\n";

class PartPickingTest : public ::testing::Test {
protected:
    // A model opened with M in a window of that size, its turning stopped by a click: a
    // sample model, or the corner above by its name "ecke3d.gl".
    void Open(const std::string& name, int width = 320, int height = 240) {
        rig.Start();
        rig.dlg->OnSize(0, width, height);
        // A copy, so that a row can change the file on disk.
        const std::string path = rig.Models() + name;
        if (name == "ecke3d.gl") {
            test::WriteText(path, kCornerModel);
        } else {
            std::filesystem::copy_file(test::kSampleModels + name, path,
                                       std::filesystem::copy_options::overwrite_existing);
        }
        rig.Open(path);
        rig.Click();
    }
    CViewerDlg& D() { return *rig.dlg; }
    test::ViewerRig rig;
};

// One view of a model and a face centre (mm) that must pick the record.
struct PickRow {
    const char* model;
    int page;  // parts-list page to show (0: whole model)
    int mode;  // F1 to F4
    // View keys pressed before the click: '!' a quarter turn about y (36 times Page Up),
    // 2.5 degrees each: '&' Insert about x, '^' Page Up about y, '#' Home about z; Q zooms
    // in, L, R and H shift, E exports to a file.
    const char* keys;
    double face[3];
    const char* text;  // the first line expected
};

// The doors of the cabinet stand in front of its back wall and shelves; turned a
// quarter about y its left side faces the eye.
const PickRow kPickRows[] = {
    {"schrank3d.gl", 0, 4, "", {300.75, 1090, 600}, "Teil 14, Quader: 2016 × 595,5 × 19 mm"},
    {"schrank3d.gl", 0, 1, "", {300.75, 1090, 600}, "Teil 14, Quader: 2016 × 595,5 × 19 mm"},
    {"schrank3d.gl", 0, 2, "", {899.25, 500, 600}, "Teil 16, Quader: 2016 × 595,5 × 19 mm"},
    {"schrank3d.gl", 0, 3, "", {558.5, 1050, 625}, "Teil 15, Quader: 300 × 25 × 12 mm"},
    {"schrank3d.gl", 0, 3, "!", {0, 1040.5, 290.5}, "Teil 1, Quader: 2081 × 581 × 19 mm"},
    {"schrank3d.gl",
     0,
     4,
     "QQQLLHRRR&&&&",
     {300.75, 1500, 600},
     "Teil 14, Quader: 2016 × 595,5 × 19 mm"},
    // Turned about two and about three axes at once: the small handle is still met.
    {"schrank3d.gl",
     0,
     3,
     "QQQ&&&&^^^^^^",
     {558.5, 1050, 625},
     "Teil 15, Quader: 300 × 25 × 12 mm"},
    {"schrank3d.gl",
     0,
     4,
     "QQQ&&&&&&^^^^######",
     {558.5, 1050, 625},
     "Teil 15, Quader: 300 × 25 × 12 mm"},
    // An export sends every shown record through the emitters once more, also after
    // the file changed on disk; the view and the records a click is measured against
    // stay as they were.
    {"schrank3d.gl", 0, 4, "~E", {300.75, 1090, 600}, "Teil 14, Quader: 2016 × 595,5 × 19 mm"},
    {"teile2d.gl", 5, 4, "", {400, 300, 28}, "Teil 5, Fünfeckprisma: 800 × 600 × 28 mm"},
    {"teile2d.gl", 9, 3, "", {150, 150, 19}, "Teil 9, Dreieckprisma: 581 × 581 × 19 mm"},
    // The nearest part is named whatever the file's order: the L on top, the shelf
    // through its notch, the back board beside both.
    {"ecke3d.gl", 0, 3, "", {300, 700, 238}, "Teil 2, Sechseckprisma: 800 × 800 × 38 mm"},
    {"ecke3d.gl", 0, 4, "", {580, 580, 119}, "Teil 3, Quader: 1000 × 600 × 19 mm"},
    {"ecke3d.gl", 0, 3, "&&^^", {950, 950, 19}, "Teil 1, Quader: 1000 × 1000 × 19 mm"},
};

TEST_F(PartPickingTest, CtrlClickPicksThePartWhoseFaceIsUnderThePointer) {
    for (const PickRow& row : kPickRows) {
        SCOPED_TRACE(std::string(row.model) + " " + row.keys + " mode " + std::to_string(row.mode));
        Open(row.model);
        rig.Key(vk::F1 + unsigned(row.mode) - 1);
        for (int page = 1; page < row.page; ++page) rig.Key('X');
        rig.platform.saveFileAnswers.assign(1, rig.dir.File("schrank.glb"));
        for (const char* k = row.keys; *k; ++k) {
            if (*k == '!') {
                for (int i = 0; i < 36; ++i) rig.Key(vk::PRIOR);
            } else if (*k == '~') {
                test::WriteModel(rig.Models() + row.model);
            } else {
                rig.Key(*k == '&'   ? vk::INSERT
                        : *k == '^' ? vk::PRIOR
                        : *k == '#' ? vk::HOME
                                    : unsigned(*k));
            }
        }
        CtrlClick(D(), ScreenPoint(D(), row.face[0], row.face[1], row.face[2]));
        EXPECT_EQ(D().PickText(), row.text);

        // Beside the model nothing is picked, and the pick goes.
        CtrlClick(D(), Point{1, 1});
        EXPECT_EQ(D().PickText(), "");
    }
    EXPECT_TRUE(std::filesystem::exists(rig.dir.File("schrank.glb")));
}

// Reads "Abstand D mm (x X · y Y · z Z)" with decimal commas.
bool ReadDistance(std::string text, double* values) {
    const size_t at = text.find("Abstand ");
    if (at == std::string::npos) return false;
    for (char& c : text)
        if (c == ',') c = '.';
    return std::sscanf(text.c_str() + at, "Abstand %lf mm (x %lf · y %lf · z %lf)", &values[0],
                       &values[1], &values[2], &values[3]) == 4;
}

TEST_F(PartPickingTest, TwoPickedCornersOfABoardAreItsEdgeApart) {
    // A large client area makes a pixel about a millimetre on the cabinet.
    Open("schrank3d.gl", 2400, 1800);
    const Point left = ScreenPoint(D(), 3.5, 2097.5, 600);  // top corners of the left door
    const Point right = ScreenPoint(D(), 598, 2097.5, 600);
    CtrlClick(D(), left);
    CtrlClick(D(), right);
    const std::string text = D().PickText();
    EXPECT_EQ(text.substr(0, text.find('\n')), "Teil 14, Quader: 2016 × 595,5 × 19 mm");
    double d[4] = {};
    ASSERT_TRUE(ReadDistance(text, d)) << text;
    EXPECT_NEAR(d[0], 595.5 - 1.0, 2.0);  // the corners less the half millimetre insets
    EXPECT_NEAR(d[1], d[0], 0.2);
    EXPECT_NEAR(d[2], 0.0, 1.5);
    EXPECT_EQ(d[3], 0.0);  // both on the door's front face

    // A third Ctrl+click starts again with the part there.
    CtrlClick(D(), ScreenPoint(D(), 899.25, 500, 600));
    EXPECT_EQ(D().PickText(), "Teil 16, Quader: 2016 × 595,5 × 19 mm");
    // Another page or model clears it.
    rig.Open(test::kSampleModels + "tisch3d.gl");
    EXPECT_EQ(D().PickText(), "");
}

// Pixels of exactly that colour.
size_t CountColour(const test::Pixels& rgb, uint8_t r, uint8_t g, uint8_t b) {
    size_t n = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        n += rgb[i] == r && rgb[i + 1] == g && rgb[i + 2] == b;
    return n;
}

// On the coloured shades, which run through every hue, the marker is a white line on a
// black one.
TEST_F(PartPickingTest, SavedPicturesShowNeitherMarkerNorText) {
    Open("schrank3d.gl");
    rig.Key(vk::F3);
    rig.Menu(ID_SCHEME_COLOUR);
    const test::Pixels before = rig.Picture();
    rig.platform.saveFileAnswers.push_back(rig.dir.File("before.bmp"));
    rig.Key('S');

    CtrlClick(D(), ScreenPoint(D(), 300.75, 1090, 600));
    ASSERT_NE(D().PickText(), "");
    const test::Pixels marked = rig.Picture();
    EXPECT_GT(CountColour(marked, 255, 255, 255), CountColour(before, 255, 255, 255) + 100);
    EXPECT_GT(CountColour(marked, 0, 0, 0), CountColour(before, 0, 0, 0) + 100);
    rig.platform.saveFileAnswers.push_back(rig.dir.File("after.bmp"));
    rig.Key('S');
    EXPECT_EQ(test::ReadText(rig.dir.File("after.bmp")),
              test::ReadText(rig.dir.File("before.bmp")));
    EXPECT_NE(rig.Picture(), before) << "the marker is back after saving";
}

// Sizes from hand-computed corners: rows of type, corners and the text.
struct SizeRow {
    long type;
    std::vector<double> x, y, z;
    const char* text;
};

TEST(PartSizeTest, SizesOfTheFourRecordTypes) {
    const double s = std::sqrt(0.5);
    const SizeRow rows[] = {
        // A block of 100 x 50 x 10 turned 45 degrees about z: its edges, not its box.
        {8,
         {0, 100 * s, 100 * s - 50 * s, -50 * s, 0, 100 * s, 100 * s - 50 * s, -50 * s},
         {0, 100 * s, 100 * s + 50 * s, 50 * s, 0, 100 * s, 100 * s + 50 * s, 50 * s},
         {10, 10, 10, 10, 0, 0, 0, 0},
         "Teil 1, Quader: 100 × 50 × 10 mm"},
        // A triangle standing in the x-z plane, 19 deep along y.
        {6,
         {0, 581, 0, 0, 581, 0},
         {0, 0, 0, 19, 19, 19},
         {0, 0, 300, 0, 0, 300},
         "Teil 1, Dreieckprisma: 581 × 300 × 19 mm"},
        {10,
         {0, 320, 320, 160, 0, 0, 320, 320, 160, 0},
         {0, 0, 1600, 1850, 1600, 0, 0, 1600, 1850, 1600},
         {0, 0, 0, 0, 0, 19, 19, 19, 19, 19},
         "Teil 1, Fünfeckprisma: 1850 × 320 × 19 mm"},
        {12,
         {17.321, 51.962, 69.282, 51.962, 17.321, 0, 17.321, 51.962, 69.282, 51.962, 17.321, 0},
         {0, 0, 30, 60, 60, 30, 0, 0, 30, 60, 60, 30},
         {0, 0, 0, 0, 0, 0, 722, 722, 722, 722, 722, 722},
         "Teil 1, Sechseckprisma: 722 × 69,3 × 60 mm"},
        // A tapered prism is cut from the blank of its larger cap, in either cap order.
        {6,
         {0, 60, 0, 0, 100, 0},
         {0, 0, 50, 0, 0, 80},
         {0, 0, 0, 28, 28, 28},
         "Teil 1, Dreieckprisma: 100 × 80 × 28 mm"},
        {6,
         {0, 100, 0, 0, 60, 0},
         {0, 0, 80, 0, 0, 50},
         {28, 28, 28, 0, 0, 0},
         "Teil 1, Dreieckprisma: 100 × 80 × 28 mm"},
        // An L-shaped worktop, its outline starting at the inner corner: its blank.
        {12,
         {600, 600, 0, 0, 2400, 2400, 600, 600, 0, 0, 2400, 2400},
         {600, 1800, 1800, 0, 0, 600, 600, 1800, 1800, 0, 0, 600},
         {900, 900, 900, 900, 900, 900, 938, 938, 938, 938, 938, 938},
         "Teil 1, Sechseckprisma: 2400 × 1800 × 38 mm"},
    };
    for (const SizeRow& row : rows) {
        PartSize size;
        ASSERT_TRUE(MeasurePart(row.type, row.x.data(), row.y.data(), row.z.data(), size));
        EXPECT_EQ(PartSizeText(1, size), row.text) << row.type;
    }
    PartSize none;
    EXPECT_FALSE(MeasurePart(7, nullptr, nullptr, nullptr, none));

    EXPECT_EQ(DistanceText({0, 0, 0}, {1181, 0, -19}),
              "Abstand 1181,2 mm (x 1181,0 · y 0,0 · z 19,0)");
}

// The parts list of a whole model measures each shaped part where it is placed, not at
// the flat coordinates of its reference outline; its sizes are those of the label.
TEST_F(PartPickingTest, PartsListTakesThePlacedOutlines) {
    const std::string path = rig.Models() + "ecke3d.gl";
    test::WriteText(path, kCornerModel);
    ModelFileCache cache;
    ASSERT_TRUE(cache.Load(path));
    EXPECT_EQ(PartsCsvLines(cache, true, 0),
              "1,Quader,1000.0,1000.0,19.0,0.0,0.0,0.0,1000.0,1000.0,19.0,#010000\n"
              "2,Sechseckprisma,800.0,800.0,38.0,100.0,100.0,200.0,900.0,900.0,238.0,#020000\n"
              "3,Quader,1000.0,600.0,19.0,0.0,0.0,100.0,1000.0,600.0,119.0,#030000\n");
}

}  // namespace
}  // namespace orx
