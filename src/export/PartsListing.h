#pragma once
// The parts of a model as CSV, one line per part: the basis of a cut list.
#include <string>

#include "geometry/PartSize.h"
#include "model/ModelCache.h"

namespace orx {

// The column names, ending in a line feed.
extern const char* const kPartsCsvHeader;

// Measures a record as the parts list lists it: its placed outline when `placed`
// (a whole model), its first otherwise. False for a record drawn in neither way.
bool MeasureRecord(const ModelFileCache& cache, const ParsedRecord& record, bool placed,
                   PartSize& size);

// The lines of the records in `cache` (without the header): record line, kind, the
// three sizes in millimetres, largest first, the bounding box and the colour the
// part is shown in with the design colours ("#RRGGBB"). `placed` takes a
// prism's second outline where the record has one (a whole model); `part` > 0 lists
// only that record line.
std::string PartsCsvLines(const ModelFileCache& cache, bool placed, int part);

}  // namespace orx
