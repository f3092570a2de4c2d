// Shared by the frame and the watermark: the 24-bit working copy of the image, and the blend of
// a 32-bit overlay with straight alpha over a rectangle of it, in place, touching only the
// overlay's pixels.
#pragma once

#include <FreeImage.h>

namespace ravelin {

// `image` itself when it has 24 bits; otherwise a 24-bit copy, `image` released. Null on
// failure (the image released) and for null.
FIBITMAP* ToTwentyFourBits(FIBITMAP* image);

// Blends `overlay` (32 bits, straight alpha) over `image` (24 bits) with its top-left corner at
// (left, top), counted from the top row, each channel rounded to the nearest of
// (alpha x overlay + (255 - alpha) x image) / 255. False, with the image untouched, when the
// overlay does not lie completely inside the image or the depths are not those.
bool BlendOver(FIBITMAP* image, FIBITMAP* overlay, long long left, long long top);

}  // namespace ravelin
