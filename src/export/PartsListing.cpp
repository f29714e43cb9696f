// The parts of a model as CSV.
#include "export/PartsListing.h"

#include <cstdio>

#include "geometry/DesignColour.h"
#include "geometry/PartSize.h"

namespace orx {

const char* const kPartsCsvHeader =
    "Teil,Art,Länge,Breite,Dicke,minX,minY,minZ,maxX,maxY,maxZ,Farbe\n";

std::string PartsCsvLines(const ModelFileCache& cache, bool placed, int part) {
    std::string text;
    for (const ParsedRecord& r : cache.records) {
        if (part > 0 && r.line != part) continue;
        if (placed ? !r.validWhole : !r.validSingle) continue;
        const int n = PointsDrawn(r.type);
        const double* p = cache.coords.data() + (placed ? r.second : r.first);
        PartSize size;
        if (!MeasurePart(r.type, p, p + n, p + 2 * n, size)) continue;
        char line[512];
        std::snprintf(line, sizeof line, "%d,%s,%.1f,%.1f,%.1f,%.1f,%.1f,%.1f,%.1f,%.1f,%.1f,%s\n",
                      r.line, PartKindName(r.type), size.sizes[0], size.sizes[1], size.sizes[2],
                      size.min[0], size.min[1], size.min[2], size.max[0], size.max[1], size.max[2],
                      DesignColourHex(r.colour).c_str());
        text += line;
    }
    return text;
}

}  // namespace orx
