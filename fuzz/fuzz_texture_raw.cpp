// A raw texture file through the texture reader and the colour swap.
#include "FuzzSupport.h"
#include "image/Texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = orx::fuzz::ScratchFile(data, size, ".raw");
    orx::CTexture texture;
    // The viewer passes -1 for the sizes; other sizes come from the first bytes.
    texture.ReadFile(path, -1, -1, -1);
    if (size >= 3) texture.ReadFile(path, data[0], data[1], data[2] % 2 ? 24 : 32);
    texture.SwapRedBlue();
    return 0;
}
