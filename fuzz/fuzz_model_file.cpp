// A whole model file through the reader and its cache.
#include "FuzzSupport.h"
#include "model/ModelCache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = orx::fuzz::ScratchFile(data, size, "3d.gl");
    orx::ModelFileCache cache;
    if (cache.Load(path)) {
        for (const orx::ParsedRecord& r : cache.records) {
            const size_t n = static_cast<size_t>(orx::PointsDrawn(r.type));
            if (r.first + 3 * n > cache.coords.size() || r.second + 3 * n > cache.coords.size())
                __builtin_trap();
        }
    }
    return 0;
}
