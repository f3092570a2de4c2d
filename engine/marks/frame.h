// The solid frame step of the pipeline: four bands along the edges of the image, inside it,
// each with its own width and colour, meeting on the diagonals at the corners, blended over
// the image at one opacity. Called by the pipeline after dithering; the size never changes.
#pragma once

#include <FreeImage.h>

#include "settings/settings.h"

namespace ravelin {

// Returns the image the pipeline goes on with: `image` itself when `Do Frame` is 0; otherwise
// a 24-bit image (the 24-bit copy replaces and releases `image` when a conversion was needed)
// with the frame drawn into it. A failure in the drawing leaves the frame out. Null in, null
// out. Sides whose widths add up to more than the image (left + right > width, or top +
// bottom > height) share that dimension in proportion to their widths, so the frame fills it.
FIBITMAP* DrawFrame(FIBITMAP* image, const Settings& settings, unsigned width, unsigned height);

}  // namespace ravelin
