#pragma once
// Polygons split into triangles in their own plane, concave ones too: the export's
// triangles and the faces a picking ray meets cover what OpenGL fills for a convex
// face and exactly the outline of a concave one (an L-shaped or notched cap).
#include <vector>

#include "geometry/Vec3.h"

namespace orx {

// Appends to `triangles` the corner indices (three a triangle, in the polygon's own
// winding) of triangles that cover the polygon of n corners, found by ear clipping in
// the plane of its area vector. Triangles without area are left out, so a polygon
// without area gives none.
void TriangulatePolygon(const Vec3* corners, int n, std::vector<int>& triangles);

}  // namespace orx
