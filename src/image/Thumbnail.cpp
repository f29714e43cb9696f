#include "image/Thumbnail.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "app/ViewerDlg.h"
#include "geometry/Vec3.h"

namespace orx {

namespace {

// The smallest distance of the model centre from the eye at which all points p
// (relative to the centre, in eye orientation) shifted by (tx, ty) lie within the
// square field of half-width `t` (tangent of the half field of view).
double FitDistance(const std::vector<Vec3>& points, double tx, double ty, double t) {
    double d = 0.0, front = -1e300, radius = 0.0;
    for (const Vec3& p : points) {
        d = std::max(d, p[2] + std::fabs(p[0] + tx) / t);
        d = std::max(d, p[2] + std::fabs(p[1] + ty) / t);
        front = std::max(front, p[2]);
        radius = std::max(radius, std::fabs(p[2]));
    }
    // Every point stays in front of the eye.
    return std::max(d, front + 1e-3 * radius);
}

// The shift along `axis` (0: x, 1: y) at distance d that centres the points' projection.
double CentringShift(const std::vector<Vec3>& points, int axis, double d, double radius) {
    auto imbalance = [&](double shift) {
        double lo = 1e300, hi = -1e300;
        for (const Vec3& p : points) {
            const double u = (p[axis] + shift) / (d - p[2]);
            lo = std::min(lo, u);
            hi = std::max(hi, u);
        }
        return lo + hi;
    };
    // The imbalance grows with the shift; the centring shift lies within the radius.
    double a = -radius, b = radius;
    for (int i = 0; i < 60; ++i) {
        const double m = 0.5 * (a + b);
        (imbalance(m) < 0 ? a : b) = m;
    }
    return 0.5 * (a + b);
}

}  // namespace

bool FitThumbnailView(const ModelBounds& b, ThumbnailView& view) {
    const double lo[3] = {b.minX, b.minY, b.minZ};
    const double hi[3] = {b.maxX, b.maxY, b.maxZ};
    const double centre[3] = {b.centreX, b.centreY, b.centreZ};
    if (!std::isfinite(b.extent) || b.extent == 0.0) return false;
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(lo[k]) || !std::isfinite(hi[k]) || lo[k] > hi[k]) return false;

    std::copy(kThumbnailAngles, kThumbnailAngles + 3, view.angles);
    view.fieldOfView = kThumbnailFieldOfView;

    // The corners of the bounding box, placed as the build places vertices and turned
    // as the frame drawing turns them.
    std::vector<Vec3> points;
    double radius = 0.0;
    for (int corner = 0; corner < 8; ++corner) {
        Vec3 p;
        for (int k = 0; k < 3; ++k)
            p[k] = ((corner >> k & 1 ? hi[k] : lo[k]) - centre[k]) / b.extent;
        for (int axis = 2; axis >= 0; --axis) p = Rotated(p, view.angles[axis], axis);
        points.push_back(p);
        radius = std::max(radius, Length(p));
    }
    if (!(radius > 0.0) || !std::isfinite(radius)) return false;

    const double t = std::tan(view.fieldOfView * std::numbers::pi / 360.0) * kThumbnailFill;
    double tx = 0.0, ty = 0.0;
    double d = FitDistance(points, tx, ty, t);
    for (int round = 0; round < 8; ++round) {
        tx = CentringShift(points, 0, d, 2 * radius);
        ty = CentringShift(points, 1, d, 2 * radius);
        d = FitDistance(points, tx, ty, t);
    }
    double nearest = 1e300, farthest = 0.0;
    for (const Vec3& p : points) {
        nearest = std::min(nearest, d - p[2]);
        farthest = std::max(farthest, d - p[2]);
    }
    view.origin[0] = tx;
    view.origin[1] = ty;
    view.origin[2] = -d;
    view.zNear = std::max(nearest * 0.5, farthest * 1e-4);
    view.zFar = farthest * 1.5;
    return true;
}

bool RenderThumbnail(CViewerDlg& dlg, int size, int supersample, std::vector<uint8_t>& rgba) {
    ThumbnailView view;
    if (size < 1 || supersample < 1 || !FitThumbnailView(dlg.Bounds(), view)) return false;
    const int n = size * supersample;

    glViewport(0, 0, n, n);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(view.fieldOfView, 1.0, view.zNear, view.zFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    dlg.DrawFrom(view.angles, view.origin);
    glFinish();

    const size_t samples = static_cast<size_t>(n) * n;
    std::vector<uint8_t> colour(samples * 3);
    std::vector<float> depth(samples);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, n, n, GL_RGB, GL_UNSIGNED_BYTE, colour.data());
    glReadPixels(0, 0, n, n, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());

    // The depth buffer tells model from background: nothing drawn leaves the cleared 1.
    rgba.assign(static_cast<size_t>(size) * size * 4, 0);
    const int perPixel = supersample * supersample;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            unsigned sum[3] = {0, 0, 0};
            int covered = 0;
            for (int sy = 0; sy < supersample; ++sy) {
                // Read-back rows run bottom-up.
                const size_t row = static_cast<size_t>(n - 1 - (y * supersample + sy)) * n;
                for (int sx = 0; sx < supersample; ++sx) {
                    const size_t i = row + static_cast<size_t>(x) * supersample + sx;
                    if (depth[i] >= 1.0f) continue;
                    ++covered;
                    for (int c = 0; c < 3; ++c) sum[c] += colour[i * 3 + c];
                }
            }
            if (covered == 0) continue;
            uint8_t* out = &rgba[(static_cast<size_t>(y) * size + x) * 4];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<uint8_t>((sum[c] + covered / 2) / covered);
            out[3] = static_cast<uint8_t>((covered * 255 + perPixel / 2) / perPixel);
        }
    }
    return true;
}

}  // namespace orx
