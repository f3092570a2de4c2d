#include "engine/ops/rescale_bands.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/psd/image_handover.h"
#include "engine/work_bands.h"

namespace ravelin {
namespace {

// Below this many pixels the picture is rescaled in one call: the threads would cost more
// than they save.
constexpr uint64_t kLeastBandedPixels = uint64_t{1} << 20;
// The most a band's result holds. Each band has FreeImage work out the filter's weights again,
// so bands are made large; but every worker holds one beside the picture, so not too large.
constexpr uint64_t kBandBytes = uint64_t{6} << 20;

// The pictures whose passes FreeImage works on row by row and column by column at their own
// depth; others (palettes, 16-bit, deeper types) change depth inside FreeImage_Rescale and
// are left to it.
bool Bandable(FIBITMAP* image, unsigned width, unsigned height, unsigned workers) {
  const unsigned bpp = FreeImage_GetBPP(image);
  const uint64_t pixels = std::max(uint64_t{FreeImage_GetWidth(image)} * FreeImage_GetHeight(image),
                                   uint64_t{width} * height);
  return workers > 1 && FreeImage_GetImageType(image) == FIT_BITMAP && (bpp == 24 || bpp == 32) &&
         width > 0 && height > 0 && pixels >= kLeastBandedPixels;
}

// How many rows or columns go into one band: at most kBandBytes of result, and at least two
// bands per worker so the workers finish close together.
unsigned BandSide(uint64_t bytesPerUnit, unsigned units, unsigned workers) {
  const uint64_t byBytes = kBandBytes / std::max<uint64_t>(bytesPerUnit, 1);
  const uint64_t byCount = (uint64_t{units} + 2 * workers - 1) / (2 * workers);
  return static_cast<unsigned>(std::max<uint64_t>(1, std::min(byBytes, byCount)));
}

// FreeImage's pass across the rows: every row filtered to `width`, the rows in bands.
FIBITMAP* AcrossRows(FIBITMAP* src, unsigned width, FREE_IMAGE_FILTER filter, unsigned workers) {
  const unsigned srcWidth = FreeImage_GetWidth(src);
  const unsigned height = FreeImage_GetHeight(src);
  FIBITMAP* dst = FreeImage_AllocateT(FIT_BITMAP, static_cast<int>(width), static_cast<int>(height),
                                      static_cast<int>(FreeImage_GetBPP(src)));
  if (dst == nullptr) return nullptr;
  const size_t line = FreeImage_GetLine(dst);
  const unsigned rows = BandSide(line, height, workers);
  const unsigned bands = (height + rows - 1) / rows;
  const bool done = RunBands(bands, workers, [&](unsigned band) {
    // Views count rows from the top; scan lines from the bottom.
    const unsigned top = band * rows;
    const unsigned bottom = std::min(height, top + rows);
    FIBITMAP* view = FreeImage_CreateView(src, 0, top, srcWidth, bottom);
    if (view == nullptr) return false;
    FIBITMAP* part = FreeImage_Rescale(view, static_cast<int>(width), static_cast<int>(bottom - top), filter);
    FreeImage_Unload(view);
    if (part == nullptr) return false;
    const unsigned first = height - bottom;
    for (unsigned y = 0; y < bottom - top; ++y) {
      std::memcpy(FreeImage_GetScanLine(dst, static_cast<int>(first + y)),
                  FreeImage_GetScanLine(part, static_cast<int>(y)), line);
    }
    FreeImage_Unload(part);
    return true;
  });
  return done ? dst : Refuse(dst);
}

// FreeImage's pass along the columns: every column filtered to `height`, the columns in bands.
FIBITMAP* AlongColumns(FIBITMAP* src, unsigned height, FREE_IMAGE_FILTER filter, unsigned workers) {
  const unsigned width = FreeImage_GetWidth(src);
  const unsigned srcHeight = FreeImage_GetHeight(src);
  const unsigned bpp = FreeImage_GetBPP(src);
  FIBITMAP* dst = FreeImage_AllocateT(FIT_BITMAP, static_cast<int>(width), static_cast<int>(height),
                                      static_cast<int>(bpp));
  if (dst == nullptr) return nullptr;
  const size_t pixel = bpp / 8;
  const unsigned columns = BandSide(uint64_t{height} * pixel, width, workers);
  const unsigned bands = (width + columns - 1) / columns;
  const bool done = RunBands(bands, workers, [&](unsigned band) {
    const unsigned left = band * columns;
    const unsigned right = std::min(width, left + columns);
    FIBITMAP* view = FreeImage_CreateView(src, left, 0, right, srcHeight);
    if (view == nullptr) return false;
    FIBITMAP* part = FreeImage_Rescale(view, static_cast<int>(right - left), static_cast<int>(height), filter);
    FreeImage_Unload(view);
    if (part == nullptr) return false;
    for (unsigned y = 0; y < height; ++y) {
      std::memcpy(FreeImage_GetScanLine(dst, static_cast<int>(y)) + left * pixel,
                  FreeImage_GetScanLine(part, static_cast<int>(y)), (right - left) * pixel);
    }
    FreeImage_Unload(part);
    return true;
  });
  return done ? dst : Refuse(dst);
}

}  // namespace

FIBITMAP* RescaleInBands(FIBITMAP* image, unsigned width, unsigned height, FREE_IMAGE_FILTER filter) {
  if (image == nullptr) return nullptr;
  const unsigned workers = BandWorkers();
  const unsigned srcWidth = FreeImage_GetWidth(image);
  const unsigned srcHeight = FreeImage_GetHeight(image);
  if (!Bandable(image, width, height, workers) || (width == srcWidth && height == srcHeight)) {
    return HandOver(image, FreeImage_Rescale(image, static_cast<int>(width), static_cast<int>(height), filter));
  }
  FIBITMAP* current = image;
  // Each pass hands the picture on with its metadata, as FreeImage_Rescale gives it.
  const auto pass = [&](bool acrossRows) {
    if (current == nullptr) return;
    FIBITMAP* made = acrossRows ? AcrossRows(current, width, filter, workers)
                                : AlongColumns(current, height, filter, workers);
    if (made != nullptr) FreeImage_CloneMetadata(made, current);
    current = HandOver(current, made);
  };
  // FreeImage's order: across the rows first, unless the picture grows wider.
  if (width <= srcWidth) {
    if (width != srcWidth) pass(true);
    if (height != srcHeight) pass(false);
  } else {
    if (height != srcHeight) pass(false);
    pass(true);
  }
  return current;
}

}  // namespace ravelin
