// The parts of a model as CSV.
#include "export/PartsListing.h"

#include <cstdio>

#include "geometry/DesignColour.h"

namespace orx {

const char* const kPartsCsvHeader =
    "Teil,Art,Länge,Breite,Dicke,minX,minY,minZ,maxX,maxY,maxZ,Farbe\n";

bool MeasureRecord(const ModelFileCache& cache, const ParsedRecord& r, bool placed,
                   PartSize& size) {
    RecordOutlines o;
    if (!ShownOutlines(r, cache.coords.data(), placed, o)) return false;
    const double* p = o.placed;
    return MeasurePart(r.type, p, p + o.points, p + 2 * o.points, size);
}

std::string PartsCsvLines(const ModelFileCache& cache, bool placed, int part) {
    std::string text;
    for (const ParsedRecord& r : cache.records) {
        if (part > 0 && r.line != part) continue;
        PartSize size;
        if (!MeasureRecord(cache, r, placed, size)) continue;
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
