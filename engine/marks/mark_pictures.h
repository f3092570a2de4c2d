// The two kinds of watermark picture, drawn by the drawing layer for engine/marks/watermark.cpp.
// A picture is drawn at its natural size but created no larger than maxWidth x maxHeight: the
// part beyond is what cutting the mark to fit would drop, so the work stays in proportion to
// what can show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <FreeImage.h>

#include "engine/marks/drawing.h"
#include "engine/job_context.h"
#include "engine/marks/watermark_font.h"
#include "settings/settings.h"

namespace ravelin {

// The measured text block of a text mark: its lines (split at "%eol%"), the number of breaks,
// its size with the padding and the step from line to line.
struct TextBlock {
  std::vector<std::string> lines;
  int64_t breaks = 0;
  int64_t width = 0;
  int64_t height = 0;
  int64_t lineStep = 0;
};
TextBlock MeasureTextBlock(const Settings& settings, const JobContext& job, const Font& font);
// The picture of a measured block; as BuildTextMark.
Picture DrawTextBlock(const Settings& settings, const TextBlock& block, const Font& font,
                      int maxWidth, int maxHeight, bool* empty = nullptr);

// The text block: lines split at "%eol%", padding, leading, alignment, letter and background
// colours with their opacities, 2D or anti-aliased vector text. Null when no picture can be made;
// *empty (when given) tells a block of no size, which has nothing to draw, from a failure.
Picture BuildTextMark(const Settings& settings, const JobContext& job, const Font& font,
                      int maxWidth, int maxHeight, bool* empty = nullptr);

// The picture of `Image` drawn at `Image Opacity`, greyed when `Image Greyscale` is on; null
// when the file cannot be loaded.
Picture BuildImageMark(const Settings& settings, int maxWidth, int maxHeight);

// The picture file of an image mark, when it is a PNG, JPEG or BMP within the image limits,
// with 8 bits a channel; other formats are refused (FreeImage's readers of several of them
// have known overflows).
FIBITMAP* LoadWatermarkPicture(const std::string& path);

// The top-left part, at most maxWidth x maxHeight, of a PNG of 8-bit RGB or RGBA rows (not
// interlaced, no chunks that change its colours) as the 24- or 32-bit bitmap FreeImage would
// give for it, decoding no row below that part. *taken is false for any other PNG (null is
// returned: FreeImage reads it); with *taken true, null means the rows could not be read.
FIBITMAP* LoadPngTopLeft(const std::string& path, unsigned maxWidth, unsigned maxHeight, bool* taken);

}  // namespace ravelin
