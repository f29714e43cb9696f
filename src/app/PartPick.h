#pragma once
// A part picked on screen with Ctrl and the left button, and the points picked on
// its surface for measuring.
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/PickSink.h"

namespace orx {

// The records that display list 1 was built from: picking meets the same faces.
struct PickSource {
    bool valid = false;
    std::string path;
    uint64_t generation = 0;  // the read of the file (ModelFileCache::Generation)
    int part = 0;
    bool operator==(const PickSource&) const = default;
};

// The box around one record's faces in list coordinates, to pass over records that
// a ray misses without sending their faces.
struct PickBox {
    float lo[3];
    float hi[3];
    uint32_t record;  // index into the parse cache's records
};

struct PartPick {
    bool active = false;
    int record = 0;                        // record line of the picked part
    std::vector<std::vector<Vec3>> faces;  // its faces, in list coordinates
    int points = 0;                        // surface points: 1, or 2 once measured
    Vec3 point[2]{};                       // in list coordinates
    Vec3 millimetres[2]{};                 // the same in the file's units
    std::string text;                      // what the window shows about it
};

}  // namespace orx
