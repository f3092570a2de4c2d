#include "engine/bmp/bmp_loader.h"

#include <mutex>

#include "engine/bmp/bmp_header.h"
#include "engine/bmp/bmp_rows.h"
#include "engine/bmp/bmp_source.h"

namespace ravelin {
namespace {

// FreeImage reports through a message handler; the console output of the program is exact,
// so its messages are dropped (the loader returns its own reason).
void DLL_CALLCONV IgnoreFreeImageMessage(FREE_IMAGE_FORMAT, const char*) {}

void SilenceFreeImage() {
  static std::once_flag once;
  std::call_once(once, [] { FreeImage_SetOutputMessage(&IgnoreFreeImageMessage); });
}

// FreeImage 3.18 takes the fourth byte of a 32-bit BI_RGB pixel as alpha; most writers leave
// it 0, which would make the whole picture transparent. All 0 means the file has no alpha.
void MakeOpaqueWhenAlphaUnused(FIBITMAP* dib) {
  const unsigned width = FreeImage_GetWidth(dib);
  const unsigned height = FreeImage_GetHeight(dib);
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* line = FreeImage_GetScanLine(dib, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) {
      if (line[x * 4 + FI_RGBA_ALPHA] != 0) return;
    }
  }
  for (unsigned y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) line[x * 4 + FI_RGBA_ALPHA] = 255;
  }
  FreeImage_SetTransparent(dib, FALSE);
}

FIBITMAP* Fail(BmpLoadError reason, BmpLoadError* error) {
  if (error != nullptr) *error = reason;
  return nullptr;
}

FIBITMAP* LoadFromSource(BmpSource& source, BmpLoadError* error) {
  SilenceFreeImage();
  BmpLayout layout;
  const BmpLoadError checked = ReadBmpLayout(source, BmpMemoryLimit(), &layout);
  if (checked != BmpLoadError::None) return Fail(checked, error);

  std::unique_ptr<BmpRowReader> rows = MakeBmpRowReader(layout, source);
  BmpVirtualStream stream(BuildPlainBmpHead(layout), layout, rows.get());
  FreeImageIO io = BmpVirtualStream::Io();
  FIBITMAP* dib = FreeImage_LoadFromHandle(FIF_BMP, &io, static_cast<fi_handle>(&stream), 0);

  // FreeImage ignores failed reads of 16- to 32-bit rows, so the stream's own record decides.
  BmpLoadError reason = stream.failure();
  if (reason == BmpLoadError::None &&
      (dib == nullptr || FreeImage_GetWidth(dib) != layout.width ||
       FreeImage_GetHeight(dib) != layout.height || FreeImage_GetBPP(dib) != layout.outBpp)) {
    reason = BmpLoadError::DecodeFailed;
  }
  if (reason != BmpLoadError::None) {
    if (dib != nullptr) FreeImage_Unload(dib);
    return Fail(reason, error);
  }
  if (layout.zeroAlphaMeansOpaque) MakeOpaqueWhenAlphaUnused(dib);
  if (error != nullptr) *error = BmpLoadError::None;
  return dib;
}

}  // namespace

FIBITMAP* LoadCheckedBmp(const std::string& path, BmpLoadError* error) {
  FileBmpSource source;
  if (!source.Open(path)) return Fail(BmpLoadError::Unreadable, error);
  return LoadFromSource(source, error);
}

FIBITMAP* LoadCheckedBmpFromMemory(const uint8_t* data, size_t size, BmpLoadError* error) {
  if (data == nullptr) size = 0;
  static const uint8_t kNothing = 0;
  MemoryBmpSource source(data != nullptr ? data : &kNothing, size);
  return LoadFromSource(source, error);
}

}  // namespace ravelin
