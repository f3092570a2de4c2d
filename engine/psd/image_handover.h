// Hand-over of the current image between the engine's steps: a step that makes a new
// bitmap releases the one it was given, so one image stays alive. Used by the image
// operations and the output depth step.
#pragma once

#include <FreeImage.h>

namespace ravelin {

// Releases `given` (unless it is `made`) and returns `made`, which may be no image.
FIBITMAP* HandOver(FIBITMAP* given, FIBITMAP* made);

// The image at 24 bits, releasing the given one; no image when FreeImage cannot convert.
FIBITMAP* To24Bits(FIBITMAP* image);

// Releases the image and returns no image: the step fails.
FIBITMAP* Refuse(FIBITMAP* image);

}  // namespace ravelin
