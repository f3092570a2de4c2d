// The seven image operations the pipeline applies, in this order, before the frame and the
// watermark: rotation, resizing, flipping, colour correction, greyscale, threshold and
// dithering. Each acts only when its setting switches it on.
//
// Ownership: each takes the current image and returns the image the pipeline goes on with.
// When it makes a new image (a depth conversion or its own result) it releases the one it
// was given, so one image stays alive. No image in gives no image out; switched off gives
// the very image back. A FreeImage failure, or a result larger than the image limits allow,
// gives no image (the given one released), so the pipeline fails before writing anything.
#pragma once

#include <cstdint>

#include <FreeImage.h>

#include "settings/settings.h"

namespace ravelin {

// Keyword indices of the settings these operations read.
inline constexpr int kRotationSimple = 0;    // RotationType "SIMPLE"
inline constexpr int kRotationAdvanced = 1;  // RotationType "ADVANCED"
inline constexpr int kUnitPixels = 0;        // SizeUnit "PIXELS"
inline constexpr int kUnitPercent = 1;       // SizeUnit "PERCENT"
inline constexpr int kResizeAllImages = 0;   // ResizeType "ALLIMAGES"
inline constexpr int kResizeLargeImages = 1; // ResizeType "LARGEIMAGES"

FIBITMAP* RotateImage(FIBITMAP* image, const Settings& settings);
// width and height are the image's current size (after rotation).
FIBITMAP* ResizeImage(FIBITMAP* image, const Settings& settings, unsigned width, unsigned height);
// In place: returns the image it was given (no image when FreeImage fails).
FIBITMAP* FlipImage(FIBITMAP* image, const Settings& settings);
// Brightness, contrast, gamma and invert; in place unless the image had to go to 24 bits.
FIBITMAP* AdjustImageColors(FIBITMAP* image, const Settings& settings);
// An 8-bit grey image.
FIBITMAP* GreyscaleImage(FIBITMAP* image, const Settings& settings);
// A 1-bit image.
FIBITMAP* ThresholdImage(FIBITMAP* image, const Settings& settings);
// A 1-bit image.
FIBITMAP* DitherImage(FIBITMAP* image, const Settings& settings);

// The size FreeImage gives a width x height picture rotated by `degrees` with the rotation
// type of the settings (the advanced rotation keeps the size).
void RotatedSize(uint64_t width, uint64_t height, int degrees, int type, uint64_t* outWidth,
                 uint64_t* outHeight);

// The size ResizeImage makes of a width x height picture; false when it leaves the picture
// as it is (switched off, a target side of 0 or less, the same size, or a small picture
// under "LARGEIMAGES"). A side may come out 0 or beyond the image limits.
bool ResizeTarget(const Settings& settings, uint64_t width, uint64_t height, uint64_t* outWidth,
                  uint64_t* outHeight);

}  // namespace ravelin
