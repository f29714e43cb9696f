#pragma once
// The size of one part in the model file's units (millimetres), as a cabinet maker
// reads it: a block's three edge lengths, a prism's length and the size of its
// outline; and the texts that show them, with the German decimal comma.
#include <string>

namespace orx {

struct PartSize {
    long type = 0;
    bool prism = false;      // types 6, 10 and 12
    double sizes[3] = {};    // the three sizes, largest first
    double length = 0.0;     // a prism's length, from cap to cap
    double outline[2] = {};  // a prism's outline, larger side first
    double min[3] = {};      // bounding box of the placed corners
    double max[3] = {};
};

// Measures a part from its placed corners (x, y, z hold the points its type draws).
// False for a type that draws nothing.
bool MeasurePart(long type, const double* x, const double* y, const double* z, PartSize& size);

// "Quader", "Dreieckprisma", ...
const char* PartKindName(long type);

// A length in millimetres with the decimal comma: rounded to a tenth, and without
// the tenth when it is zero and `keepTenth` is false ("2081", "18,5", "1200,0").
std::string FormatMillimetres(double value, bool keepTenth);

// "Teil 17: 2081 × 581 × 19 mm" for a block; "Teil 4: 800 × 600 mm, Länge 28 mm"
// for a prism (outline, then length).
std::string PartSizeText(int record, const PartSize& size);

// "Abstand 1200,0 mm (x 1181,0 · y 0,0 · z 19,0)": the straight distance between two
// points and its components, each without sign.
std::string DistanceText(const double* from, const double* to);

}  // namespace orx
