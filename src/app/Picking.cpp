// Picking a part with Ctrl and the left button: the view ray through the pointer,
// built from the frame's projection and transforms, meets the faces that the
// emitters send for each record; the nearest face drawn names the part. A second
// pick on the model measures the distance between the two surface points.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "app/Projection.h"
#include "app/ViewerDlg.h"
#include "geometry/PartSize.h"
#include "geometry/PickSink.h"

namespace orx {

namespace {

// The slab test: the ray's entry into and exit from a box, or false when it misses.
bool RayMeetsBox(const Vec3& o, const Vec3& d, const PickBox& box, double& enter, double& leave) {
    enter = -std::numeric_limits<double>::infinity();
    leave = std::numeric_limits<double>::infinity();
    for (int k = 0; k < 3; ++k) {
        if (d[k] == 0.0) {
            if (o[k] < box.lo[k] || o[k] > box.hi[k]) return false;
            continue;
        }
        double t1 = (box.lo[k] - o[k]) / d[k];
        double t2 = (box.hi[k] - o[k]) / d[k];
        if (t1 > t2) std::swap(t1, t2);
        enter = std::max(enter, t1);
        leave = std::min(leave, t2);
        if (enter > leave) return false;
    }
    return true;
}

// The marker is drawn twice: a wide dark line with a narrow light one on it, so that
// it reads on any shade, texture and background (the coloured shades run through
// every hue, and a single colour would vanish on some of them).
constexpr GLubyte kMarkerDark[3] = {0, 0, 0};
constexpr GLubyte kMarkerLight[3] = {255, 255, 255};
constexpr float kMarkerWidth[2] = {5.0f, 2.0f};  // dark, light
constexpr float kPointSize[2] = {11.0f, 7.0f};

}  // namespace

void CViewerDlg::NotePickSource(bool drawn, const std::string& path) {
    PickSource now;
    if (drawn) {
        now.valid = true;
        now.path = path;
        now.generation = m_modelCache.Generation();
        now.part = m_nPart;
    }
    if (!(now == m_pickSource)) {
        m_pickSource = now;
        if (m_pick.active) ClearPick();
    }
}

void CViewerDlg::ClearPick() {
    const bool shown = m_pick.active;
    m_pick = PartPick{};
    m_platform.ShowOverlayText(std::string());
    if (shown) m_platform.Invalidate(false);
}

void CViewerDlg::BuildPickBoxes() {
    m_pickBoxes.clear();
    m_pickBoxesFor = m_pickSource;
    const ModelFileCache& cache = m_modelCache;
    const ModelBounds& b = m_bounds;
    for (size_t i = 0; i < cache.records.size(); ++i) {
        const ParsedRecord& r = cache.records[i];
        RecordOutlines o;
        if (!ShownInPart(r, m_nPart) || !ShownOutlines(r, cache.coords.data(), m_nPart < 0, o))
            continue;
        const int n = o.points;
        const double* p = o.placed;
        PickBox box{{0, 0, 0}, {0, 0, 0}, static_cast<uint32_t>(i)};
        const double centre[3] = {b.centreX, b.centreY, b.centreZ};
        for (int k = 0; k < 3; ++k) {
            const auto [lo, hi] = std::minmax_element(p + k * n, p + (k + 1) * n);
            // As the emitters place vertices, and a little wider for their rounding.
            const double a = (*lo - centre[k]) / b.extent, z = (*hi - centre[k]) / b.extent;
            const double pad = 1e-5 * (1.0 + std::fabs(a) + std::fabs(z));
            box.lo[k] = static_cast<float>(a - pad);
            box.hi[k] = static_cast<float>(z + pad);
        }
        m_pickBoxes.push_back(box);
    }
}

bool CViewerDlg::CastPickRay(Point point, size_t& record, Vec3& hit) {
    const int cx = m_nViewWidth, cy = m_nViewHeight;
    if (cx <= 0 || cy <= 0 || !m_pickSource.valid) return false;
    // The records of the list must still be those in the parse cache.
    if (!m_modelCache.Holds(m_pickSource.path) ||
        m_modelCache.Generation() != m_pickSource.generation)
        return false;
    if (!(m_pickBoxesFor == m_pickSource)) BuildPickBoxes();

    // The ray through the pixel's centre in eye space, scaled so that its parameter
    // is the distance from the eye along the view direction (-z).
    const double aspect = static_cast<double>(cx) / cy;
    const double tanHalf = std::tan(kFieldOfView * 0.5 * std::numbers::pi / 180.0);
    const double nx = 2.0 * (point.x + 0.5) / cx - 1.0;
    const double ny = 1.0 - 2.0 * (point.y + 0.5) / cy;
    Vec3 origin{-m_dOrigin[0], -m_dOrigin[1], -m_dOrigin[2]};
    Vec3 direction{nx * aspect * tanHalf, ny * tanHalf, -1.0};
    // Into list coordinates: undo the translation, then the rotations about x, y
    // and z, then the scale, the reverse of the frame's order.
    for (Vec3* v : {&origin, &direction}) {
        for (int axis = 0; axis < 3; ++axis) *v = Rotated(*v, -m_dAngle[axis], axis);
        for (int k = 0; k < 3; ++k) {
            if (m_fScale[k] == 0.0f) return false;
            (*v)[k] /= m_fScale[k];
        }
    }

    // Records whose boxes the ray enters within the drawn depth, nearest first.
    std::vector<std::pair<double, uint32_t>> candidates;
    for (const PickBox& box : m_pickBoxes) {
        double enter = 0.0, leave = 0.0;
        if (!RayMeetsBox(origin, direction, box, enter, leave)) continue;
        if (leave < kNearPlane || enter > kFarPlane) continue;
        candidates.emplace_back(enter, box.record);
    }
    std::sort(candidates.begin(), candidates.end());

    // Each candidate's faces come from its emitter, as they went into the list. A
    // record whose box starts beyond the nearest face met cannot hold a nearer one.
    PickSink sink(origin, direction, kNearPlane, kFarPlane);
    bool found = false;
    DrawThrough(sink, [&] {
        for (const auto& [enter, index] : candidates) {
            if (sink.Hit() && enter > sink.Nearest()) break;
            const double before = sink.Nearest();
            DrawRecord(m_modelCache.records[index], m_modelCache.coords.data());
            if (sink.Hit() && sink.Nearest() < before) {
                record = index;
                found = true;
            }
        }
    });
    if (found) hit = sink.HitPoint();
    return found;
}

void CViewerDlg::PickAt(Point point) {
    size_t index = 0;
    Vec3 hit{};
    if (!CastPickRay(point, index, hit)) {
        if (m_pick.active) ClearPick();
        return;
    }
    const ModelBounds& b = m_bounds;
    const Vec3 mm = hit * b.extent + Vec3{b.centreX, b.centreY, b.centreZ};
    const ParsedRecord& r = m_modelCache.records[index];

    if (m_pick.active && m_pick.points == 1) {
        // The second point: the distance from the first, the first part stays picked.
        m_pick.points = 2;
        m_pick.point[1] = hit;
        m_pick.millimetres[1] = mm;
        m_pick.text =
            m_pick.text + "\n" + DistanceText(m_pick.millimetres[0], m_pick.millimetres[1]);
    } else {
        PartPick pick;
        pick.active = true;
        pick.record = r.line;
        pick.points = 1;
        pick.point[0] = hit;
        pick.millimetres[0] = mm;
        // The part's faces for its marker, sent by its emitter once more.
        OutlineSink outline;
        DrawThrough(outline, [&] { DrawRecord(r, m_modelCache.coords.data()); });
        pick.faces = std::move(outline.loops);
        RecordOutlines o;
        ShownOutlines(r, m_modelCache.coords.data(), m_nPart < 0, o);
        const int n = o.points;
        const double* p = o.placed;
        PartSize size;
        MeasurePart(r.type, p, p + n, p + 2 * n, size);
        pick.text = PartSizeText(r.line, size);
        m_pick = std::move(pick);
    }
    m_platform.ShowOverlayText(m_pick.text);
    m_platform.Invalidate(false);
}

void CViewerDlg::DrawPickMarker() const {
    if (!m_pick.active) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_POLYGON_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    for (int pass = 0; pass < 2; ++pass) {
        glColor3ubv(pass == 0 ? kMarkerDark : kMarkerLight);
        glLineWidth(kMarkerWidth[pass]);
        for (const std::vector<Vec3>& face : m_pick.faces) {
            glBegin(GL_LINE_LOOP);
            for (const Vec3& v : face) glVertex3d(v.x, v.y, v.z);
            glEnd();
        }
        if (m_pick.points == 2) {
            glBegin(GL_LINES);
            for (const Vec3& v : m_pick.point) glVertex3d(v.x, v.y, v.z);
            glEnd();
        }
        glPointSize(kPointSize[pass]);
        glBegin(GL_POINTS);
        for (int i = 0; i < m_pick.points; ++i)
            glVertex3d(m_pick.point[i].x, m_pick.point[i].y, m_pick.point[i].z);
        glEnd();
    }
    glPopAttrib();
}

bool CViewerDlg::DrawPlainFrame() {
    if (!m_pick.active || !m_hRC) return false;
    m_bPlainFrame = true;
    DrawScene();
    return true;
}

}  // namespace orx
