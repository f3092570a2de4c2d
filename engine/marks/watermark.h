// The watermark step of the pipeline: a text block (with mask tokens and "%eol%" line breaks)
// or a PNG, JPEG or BMP picture, rotated, cut to fit, placed at one of nine positions within
// the image or the area inside the frame, and blended over the image. Called by the pipeline
// after the frame; the console run uses CanLoadWatermarkImage in its checks.
#pragma once

#include <string>

#include <FreeImage.h>

#include "engine/job_context.h"
#include "engine/marks/watermark_font.h"
#include "settings/settings.h"

namespace ravelin {

// Returns the image the pipeline goes on with: `image` itself when `Do Watermark` is 0;
// otherwise a 24-bit image (a converted copy replaces and releases `image`) carrying the mark.
// No font or nothing to draw (text mark) or a file that is no PNG, JPEG or BMP (image mark)
// leaves the mark out. A mark that cannot be made (a picture that cannot be decoded, a mark
// beyond the image limits drawn or turned, a failed allocation) or for which the offsets leave
// no room (width - X offset <= 0 or height - Y offset <= 0 within the boundary) releases the
// image and returns null: the conversion fails. Null in, null out.
FIBITMAP* DrawWatermark(FIBITMAP* image, const Settings& settings, const JobContext& job,
                        const WatermarkFont* font, unsigned width, unsigned height);

enum class MarkKind { Text, Image };

struct MarkPoint {
  int x = 0;
  int y = 0;
};

// The `Text` of a text mark with the mask tokens replaced (only when it holds two "%" or more).
std::string WatermarkText(const Settings& settings, const JobContext& job);

// x of a line of `lineWidth` in a block of `blockWidth` by `Text Alignment`.
int AlignTextLine(int lineWidth, int blockWidth, const Settings& settings);

// Rotates the mark by `Text Rotation` or the watermark's `Image Rotation` when 0 < angle < 360
// (transparent corners), releasing the old mark. Null in, null out; null also when the turned
// mark would exceed the image limits.
FIBITMAP* RotateMark(FIBITMAP* mark, MarkKind kind, const Settings& settings);

// Keeps the mark when it fits the image (or the area inside the frame, by the boundary) with
// its offsets; otherwise cuts it to its top-left part that does, releasing the old mark.
// Null when nothing fits.
FIBITMAP* FitMark(FIBITMAP* mark, MarkKind kind, const Settings& settings, unsigned width,
                  unsigned height);

// Top-left corner of a fitted mark of markWidth x markHeight by position, offsets and boundary.
MarkPoint PlaceMark(unsigned markWidth, unsigned markHeight, MarkKind kind,
                    const Settings& settings, unsigned width, unsigned height);

// True when `path` names a PNG, JPEG or BMP picture the image mark can be made from, judged
// from its header (and for a BMP its rows, decoded and dropped) without decoding its pixels.
bool CanLoadWatermarkImage(const std::string& path);

}  // namespace ravelin
