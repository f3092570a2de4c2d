// The two kinds of watermark picture, drawn by the drawing layer for engine/marks/watermark.cpp.
// A picture is drawn at its natural size but created no larger than maxWidth x maxHeight: the
// part beyond is what cutting the mark to fit would drop, so the work stays in proportion to
// what can show.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <FreeImage.h>

#include "engine/marks/drawing.h"
#include "engine/job_context.h"
#include "engine/marks/watermark_font.h"
#include "settings/settings.h"

namespace ravelin {

// How far the layout of a text mark goes at once: a line longer than `pieceBytes` is laid out
// in pieces of about that size, cut where no shaping reaches across; a line that cannot be cut
// so and is longer than `wholeLineBytes` is refused rather than laid out whole.
struct TextBounds {
  size_t pieceBytes = size_t{64} << 10;
  size_t wholeLineBytes = size_t{1} << 20;
};

// One line of the block: where it lies in the text, and its 2D width once measured.
struct TextLine {
  size_t begin = 0;
  size_t size = 0;
};

// The measured text block of a text mark: its text, its lines (split at "%eol%"), the number
// of breaks, its size with the padding and the step from line to line. A block whose width
// only had to be known up to the picture's needs holds at least that width.
struct TextBlock {
  std::string text;
  std::vector<TextLine> lines;
  int64_t breaks = 0;
  int64_t width = 0;
  int64_t height = 0;
  int64_t lineStep = 0;
  bool singleFont = false;  // every line in one font, left to right: lines may be laid out in pieces
  int lineHeight = 0;       // then the height of every non-empty line
  bool refused = false;     // too large to lay out within the bounds
  TextBounds bounds;
  std::string_view Line(size_t index) const {
    return std::string_view(text).substr(lines[index].begin, lines[index].size);
  }
};
// `maxWidth` is the widest part of the block that can show (INT32_MAX for a turned mark).
TextBlock MeasureTextBlock(const Settings& settings, const JobContext& job, const Font& font,
                           int maxWidth = INT32_MAX, const TextBounds& bounds = TextBounds());
// The picture of a measured block; as BuildTextMark.
Picture DrawTextBlock(const Settings& settings, const TextBlock& block, const Font& font,
                      int maxWidth, int maxHeight, bool* empty = nullptr);

// The text block: lines split at "%eol%", padding, leading, alignment, letter and background
// colours with their opacities, 2D or anti-aliased vector text. Null when no picture can be made;
// *empty (when given) tells a block of no size, which has nothing to draw, from a failure.
Picture BuildTextMark(const Settings& settings, const JobContext& job, const Font& font,
                      int maxWidth, int maxHeight, bool* empty = nullptr,
                      const TextBounds& bounds = TextBounds());

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
