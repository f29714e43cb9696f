// Texture images from BMP, RAW and JPEG files.
#include "image/Texture.h"

namespace orx {

CTexture::CTexture() = default;
CTexture::~CTexture() { Clear(); }
void CTexture::Clear() {}
int32_t CTexture::RowBytesFor(uint32_t, uint32_t) { return 0; }
void CTexture::UpdateRowBytes() {}
void CTexture::MakeHeader() {}
bool CTexture::Alloc(uint32_t, uint32_t, uint32_t) { return false; }
bool CTexture::ReadFile(const std::string&, int32_t, int32_t, int32_t) { return false; }
bool CTexture::ReadBmp(const std::string&) { return false; }
bool CTexture::ReadRaw(const std::string&, int32_t, int32_t, int32_t) { return false; }
bool CTexture::ReadJpeg(const std::string&) { return false; }
bool CTexture::HasImage() const { return false; }
bool CTexture::SwapRedBlue() { return false; }

}  // namespace orx
