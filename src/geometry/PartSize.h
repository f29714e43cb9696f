#pragma once
// The size of one part in the model file's units (millimetres), as a cabinet maker
// reads it: the blank the part is cut from, and the texts that show it, with the
// German decimal comma.
#include <string>

#include "geometry/Vec3.h"

namespace orx {

struct PartSize {
    long type = 0;
    // The blank's three sizes, largest first. A block: its three edge lengths. A
    // prism: the outline of both caps taken in the plane of cap 1, and its length
    // along the axis (square to cap 1).
    double sizes[3] = {};
    double min[3] = {};  // bounding box of the placed corners
    double max[3] = {};
};

// Measures a part from its placed corners (x, y, z hold the points its type draws).
// False for a type that draws nothing.
bool MeasurePart(long type, const double* x, const double* y, const double* z, PartSize& size);

// "Quader", "Dreieckprisma", ...; empty for a type that draws nothing.
const char* PartKindName(long type);

// A length in millimetres with the decimal comma: rounded to a tenth, and without
// the tenth when it is zero and `keepTenth` is false ("2081", "18,5", "1200,0").
std::string FormatMillimetres(double value, bool keepTenth);

// "Teil 5, Fünfeckprisma: 800 × 600 × 28 mm": record line, kind and the three sizes,
// largest first, in the words and order of the parts list.
std::string PartSizeText(int record, const PartSize& size);

// "Abstand 1200,0 mm (x 1181,0 · y 0,0 · z 19,0)": the straight distance between two
// points and its components, each without sign.
std::string DistanceText(const Vec3& from, const Vec3& to);

}  // namespace orx
