// FreeImage_Rescale worked out on several cores. FreeImage filters a picture in two passes, one
// across the rows and one along the columns, and each output pixel of a pass depends on one
// input row or column alone; so each pass is split into bands, each band rescaled by FreeImage
// itself through a view, and the bands put together give FreeImage's very bytes.
#pragma once

#include <FreeImage.h>

namespace ravelin {

// `image` rescaled to width x height with `filter`: byte for byte FreeImage_Rescale's result,
// with the image's metadata. Takes `image` over and releases it as soon as the first pass is
// done, so the picture, the pass between and the result are never alive at once. No image
// when FreeImage refuses or memory runs out.
FIBITMAP* RescaleInBands(FIBITMAP* image, unsigned width, unsigned height, FREE_IMAGE_FILTER filter);

}  // namespace ravelin
