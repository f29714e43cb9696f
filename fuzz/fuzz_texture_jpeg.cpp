// A jpeg texture file through the texture reader and the colour swap.
#include "FuzzSupport.h"
#include "image/Texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = orx::fuzz::ScratchFile(data, size, ".jpg");
    orx::CTexture texture;
    texture.ReadFile(path, -1, -1, -1);
    texture.SwapRedBlue();
    return 0;
}
