// The text block of a text watermark.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <glib.h>

#include "engine/image_limits.h"
#include "engine/ops/color.h"
#include "engine/marks/mark_pictures.h"
#include "engine/naming.h"
#include "engine/marks/watermark.h"
#include "platform/text.h"

namespace ravelin {
namespace {

constexpr char kLineBreak[] = "%eol%";
constexpr int kMinLineBox = 10;  // a multi-line block is never smaller than this per line

int ClampToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

uint8_t Opacity(int32_t value) { return static_cast<uint8_t>(std::clamp<int32_t>(value, 0, 255)); }

}  // namespace

std::string WatermarkText(const Settings& settings, const JobContext& job) {
  std::string text = settings.Text;
  if (std::count(text.begin(), text.end(), '%') < 2) return text;
  // Presence is judged on the text as written, so a token that only an earlier value brings
  // in stays as it is.
  const std::string lowered = ToLowerAscii(settings.Text);
  for (size_t order = 0; order < kMaskTokenCount; ++order) {
    if (lowered.find(kMaskTokens[order]) == std::string::npos) continue;
    text = ReplaceAllIgnoreCase(text, kMaskTokens[order], MaskTokenValue(order, job));
  }
  return text;
}

int AlignTextLine(int lineWidth, int blockWidth, const Settings& settings) {
  switch (settings.TextAlignment) {
    case 0:  // "LEFT"
      return settings.TextPadding;
    case 1:  // "CENTER": single precision, half away from zero
      return static_cast<int>(std::lround(static_cast<float>(blockWidth - lineWidth) / 2.0f));
    case 2:  // "RIGHT"
      return ClampToInt(static_cast<int64_t>(blockWidth) - lineWidth - settings.TextPadding);
    default:
      return 0;
  }
}

namespace {

constexpr size_t kCutContextBytes = 128;  // some 32 characters on each side of a cut
constexpr int kCutTries = 256;            // places tried for one cut before the line is refused
constexpr size_t kMaxSampleCharacters = 4096;
constexpr size_t kRememberedLineBytes = 256;  // short lines repeat: their sizes are remembered
constexpr size_t kRememberedLines = 65536;
// A block wider than this cannot be turned within the image limits, whatever the angle.
constexpr int64_t kTurnableWidth = 2 * static_cast<int64_t>(kMaxPsdSide);

// Characters whose font, direction or shaping may depend on text far from them: controls and
// formatting characters, right-to-left scripts, and the symbols and selectors that pango may
// give a colour emoji font.
bool KeepsItsFont(gunichar c) {
  switch (g_unichar_type(c)) {
    case G_UNICODE_CONTROL:
    case G_UNICODE_FORMAT:
    case G_UNICODE_UNASSIGNED:
    case G_UNICODE_SURROGATE:
    case G_UNICODE_PRIVATE_USE:
    case G_UNICODE_LINE_SEPARATOR:
    case G_UNICODE_PARAGRAPH_SEPARATOR:
      return false;
    default:
      break;
  }
  switch (g_unichar_get_script(c)) {
    case G_UNICODE_SCRIPT_ARABIC:
    case G_UNICODE_SCRIPT_HEBREW:
    case G_UNICODE_SCRIPT_SYRIAC:
    case G_UNICODE_SCRIPT_THAANA:
    case G_UNICODE_SCRIPT_NKO:
      return false;
    default:
      break;
  }
  return !((c >= 0x20D0 && c <= 0x20FF) || (c >= 0x2100 && c <= 0x2BFF) || c == 0x3030 ||
           c == 0x303D || c == 0x3297 || c == 0x3299 || (c >= 0xFE00 && c <= 0xFE0F) ||
           c >= 0x1F000);
}

// True when every line of the block is laid out in one font, left to right, so that a line
// may be laid out in pieces, and every non-empty line has the same height (*height): one
// script at most besides the shared characters, each character of a kind that keeps its font,
// and pango's own layout of all the distinct characters in one run font at an even level.
bool InOneFont(const TextBlock& block, const Font& font, bool vector, int* height) {
  std::vector<bool> seen(0x110000);
  std::string sample;
  GUnicodeScript script = G_UNICODE_SCRIPT_COMMON;
  for (size_t i = 0; i < block.lines.size(); ++i) {
    const std::string_view line = block.Line(i);
    if (!g_utf8_validate(line.data(), static_cast<gssize>(line.size()), nullptr)) return false;
    for (const char* at = line.data(); at < line.data() + line.size(); at = g_utf8_next_char(at)) {
      const gunichar c = g_utf8_get_char(at);
      if (seen[c]) continue;
      seen[c] = true;
      if (!KeepsItsFont(c)) return false;
      const GUnicodeScript own = g_unichar_get_script(c);
      if (own != G_UNICODE_SCRIPT_COMMON && own != G_UNICODE_SCRIPT_INHERITED) {
        if (script != G_UNICODE_SCRIPT_COMMON && script != own) return false;
        script = own;
      }
      if (sample.size() >= 4 * kMaxSampleCharacters) return false;
      char bytes[6];
      sample.append(bytes, static_cast<size_t>(g_unichar_to_utf8(c, bytes)));
    }
  }
  if (sample.empty()) return false;
  int vectorHeight = 0;
  return SingleFontLine(font, sample, false, height) &&
         (!vector || SingleFontLine(font, sample, true, &vectorHeight));
}

size_t NextCharacter(std::string_view line, size_t at) {
  while (at < line.size() && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80) ++at;
  return at;
}

// cairo keeps coordinates in 1/256 pixel: a piece starts on that grid, so that the edges of
// the underline and strike-out of neighbouring pieces meet where the whole line's would run.
constexpr int64_t kGridUnits = kTextUnits / 256;

// A place at or after `from` where the line can be cut without changing its glyphs and where
// the piece from `start` ends on cairo's grid (its advance in *advance), or npos.
size_t FindCut(const Font& font, std::string_view line, size_t start, size_t from, size_t limit,
               bool vector, int64_t* advance) {
  size_t at = NextCharacter(line, from);
  for (int tries = 0; tries < kCutTries && at < std::min(limit, line.size());
       ++tries, at = NextCharacter(line, at + 1)) {
    if (g_unichar_ismark(g_utf8_get_char(line.data() + at))) continue;
    const size_t left = NextCharacter(line, at > kCutContextBytes ? at - kCutContextBytes : 0);
    const size_t right = NextCharacter(line, std::min(line.size(), at + kCutContextBytes));
    if (!CutKeepsGlyphs(font, line.substr(left, at - left), line.substr(at, right - at), vector)) {
      continue;
    }
    *advance = TextAdvance(font, line.substr(start, at - start), vector);
    if (*advance % kGridUnits == 0) return at;
  }
  return std::string_view::npos;
}

// Calls visit(piece, start, advance) (in text units from the line's start) for the pieces of a
// line in order, until it returns false. False when the line cannot be cut within the bounds.
template <typename Visit>
bool ForEachPiece(const Font& font, std::string_view line, bool vector, const TextBounds& bounds,
                  Visit visit) {
  int64_t at = 0;
  for (size_t start = 0; start < line.size();) {
    size_t end = line.size();
    int64_t advance = 0;
    if (end - start > bounds.pieceBytes) {
      end = FindCut(font, line, start, start + bounds.pieceBytes, start + bounds.wholeLineBytes,
                    vector, &advance);
      if (end == std::string_view::npos) return false;
    } else {
      advance = TextAdvance(font, line.substr(start), vector);
    }
    if (!visit(line.substr(start, end - start), at, advance)) return true;
    at += advance;
    start = end;
  }
  return true;
}

int64_t PixelsUp(int64_t units) { return (units + kTextUnits - 1) / kTextUnits; }

// The 2D width of a long line of one font, measured piece by piece until it reaches `enough`.
// -1 when the line cannot be cut.
int64_t PiecedWidth(const Font& font, std::string_view line, const TextBounds& bounds,
                    int64_t enough) {
  int64_t units = 0;
  const bool cut = ForEachPiece(font, line, false, bounds, [&](std::string_view, int64_t start, int64_t advance) {
    units = start + advance;
    return PixelsUp(units) < enough;
  });
  return cut ? PixelsUp(units) : -1;
}

}  // namespace

TextBlock MeasureTextBlock(const Settings& settings, const JobContext& job, const Font& font,
                           int maxWidth, const TextBounds& bounds) {
  TextBlock block;
  block.bounds = bounds;
  block.text = WatermarkText(settings, job);
  {
    const std::string lowered = ToLowerAscii(block.text);
    for (size_t at = lowered.find(kLineBreak); at != std::string::npos;
         at = lowered.find(kLineBreak, at + 1)) {
      ++block.breaks;
    }
  }
  if (block.breaks > 0) {
    block.text = ReplaceAllIgnoreCase(block.text, kLineBreak, kLineBreak);
    block.lines.reserve(static_cast<size_t>(block.breaks) + 1);
    for (size_t start = 0;;) {
      const size_t found = block.text.find(kLineBreak, start);
      block.lines.push_back({start, (found == std::string::npos ? block.text.size() : found) - start});
      if (found == std::string::npos) break;
      start = found + sizeof kLineBreak - 1;
    }
  } else {
    block.lines.push_back({0, block.text.size()});
  }

  // Past `enough` the width changes nothing that can show: a block wider than the picture is
  // cut to it, and one too wide to be turned fails. Lines placed from the block's right edge
  // need the exact width of the widest.
  const int64_t paddings = 2 * std::abs(static_cast<int64_t>(settings.TextPadding));
  int64_t enough = static_cast<int64_t>(maxWidth) + paddings + 1;
  if (maxWidth == INT32_MAX) {
    enough = kTurnableWidth + paddings;
  } else if (block.breaks > 0 && (settings.TextAlignment == 1 || settings.TextAlignment == 2)) {
    enough = INT64_MAX;
  }
  // Only a text longer than a piece needs it: shorter ones are laid out line by line as always.
  const bool vector = settings.TextAntialiasing != 0;
  // The underline and strike-out of vector text are anti-aliased along their run: cut into
  // pieces they may differ by a shade where the pieces meet, so such text is laid out whole.
  const bool lined = vector && (font.underline() || font.strikeOut());
  if (block.text.size() > bounds.pieceBytes && !lined) {
    block.singleFont = InOneFont(block, font, vector, &block.lineHeight);
  }

  // The block is measured with 2D text, whichever way the letters are drawn.
  int64_t widest = 0;
  int64_t tallest = 0;
  int emptyHeight = -1;
  std::unordered_map<std::string_view, TextExtent> remembered;
  for (size_t i = 0; i < block.lines.size(); ++i) {
    const std::string_view line = block.Line(i);
    if (block.singleFont && (widest >= enough || line.size() > bounds.pieceBytes)) {
      if (line.empty()) {
        if (emptyHeight < 0) emptyHeight = MeasureText(font, "").height;
        tallest = std::max<int64_t>(tallest, emptyHeight);
        continue;
      }
      tallest = std::max<int64_t>(tallest, block.lineHeight);
      if (widest >= enough) continue;
      const int64_t width = PiecedWidth(font, line, bounds, enough);
      if (width < 0) {
        block.refused = true;
        return block;
      }
      widest = std::max(widest, width);
      continue;
    }
    if (line.size() > bounds.wholeLineBytes) {
      block.refused = true;
      return block;
    }
    TextExtent extent;
    const auto found = remembered.find(line);
    if (found != remembered.end()) {
      extent = found->second;
    } else {
      extent = MeasureText(font, line);
      if (line.size() <= kRememberedLineBytes && remembered.size() < kRememberedLines) {
        remembered.emplace(line, extent);
      }
    }
    widest = std::max<int64_t>(widest, extent.width);
    tallest = std::max<int64_t>(tallest, extent.height);
  }

  if (block.breaks > 0) {
    block.width = std::max<int64_t>(widest, kMinLineBox);
    const int64_t lineHeight = std::max<int64_t>(tallest, kMinLineBox);
    block.lineStep = lineHeight + settings.FontLeading;
    block.height = lineHeight + block.breaks * block.lineStep;
  } else {
    block.width = widest;
    block.height = tallest;
  }
  block.width += 2 * static_cast<int64_t>(settings.TextPadding);
  block.height += 2 * static_cast<int64_t>(settings.TextPadding);
  return block;
}

Picture BuildTextMark(const Settings& settings, const JobContext& job, const Font& font,
                      int maxWidth, int maxHeight, bool* empty, const TextBounds& bounds) {
  const TextBlock block = MeasureTextBlock(settings, job, font, maxWidth, bounds);
  if (block.refused) {
    if (empty != nullptr) *empty = false;
    return nullptr;
  }
  return DrawTextBlock(settings, block, font, maxWidth, maxHeight, empty);
}

Picture DrawTextBlock(const Settings& settings, const TextBlock& block, const Font& font,
                      int maxWidth, int maxHeight, bool* empty) {
  if (empty != nullptr) *empty = false;
  if (block.refused) return nullptr;
  const int64_t breaks = block.breaks;
  const int64_t blockWidth = block.width;
  const int64_t blockHeight = block.height;
  const int64_t lineStep = block.lineStep;
  const int64_t padding = settings.TextPadding;
  if (blockWidth < 1 || blockHeight < 1) {
    if (empty != nullptr) *empty = true;
    return nullptr;
  }
  const int width = static_cast<int>(std::min<int64_t>(blockWidth, maxWidth));
  const int height = static_cast<int>(std::min<int64_t>(blockHeight, maxHeight));
  const bool vector = settings.TextAntialiasing != 0;

  // A single line sits at the padding: the block is exactly its width plus the padding on
  // both sides, so every alignment would put it there.
  auto lineX = [&](int lineWidth) {
    return breaks > 0 ? AlignTextLine(lineWidth, ClampToInt(blockWidth), settings)
                      : ClampToInt(padding);
  };
  auto lineY = [&](size_t index) { return padding + static_cast<int64_t>(index) * lineStep; };
  // Lines wholly outside the picture are not drawn (nor their positions handed to cairo).
  auto visible = [&](int64_t y) { return y < height && y > -static_cast<int64_t>(blockHeight); };
  // A long line of one font is laid out only as far as it can show: its pieces up to a margin
  // beyond the picture's right edge, for letters reaching back to the left of where they stand.
  auto pieced = [&](std::string_view line) {
    return block.singleFont && line.size() > block.bounds.pieceBytes;
  };
  const double reach = width + 4.0 * font.pixelHeight() + 16;
  auto visiblePieces = [&](std::string_view line, int x, int64_t* units) {
    std::vector<TextPiece> pieces;
    ForEachPiece(font, line, vector, block.bounds, [&](std::string_view piece, int64_t start, int64_t advance) {
      const double at = x + static_cast<double>(start) / kTextUnits;
      if (at >= reach) return false;
      pieces.emplace_back(piece, at);
      *units = start + advance;
      return true;
    });
    return pieces;
  };
  auto aligned = [&]() {
    return breaks > 0 && (settings.TextAlignment == 1 || settings.TextAlignment == 2);
  };
  auto piecedWidth = [&](std::string_view line) -> int64_t {
    int64_t units = 0;
    ForEachPiece(font, line, vector, block.bounds, [&](std::string_view, int64_t start, int64_t advance) {
      units = start + advance;
      return true;
    });
    return units;
  };

  if (!settings.TextAntialiasing) {
    const Color letters = ParseColor(settings.FontColor, Opacity(settings.TextOpacity));
    const Color background = ParseColor(settings.BackColor, Opacity(settings.BackOpacity));
    Picture picture = CreatePicture(width, height);
    if (!picture) return nullptr;
    FillPicture(picture.get(), background);
    for (size_t i = 0; i < block.lines.size(); ++i) {
      const int64_t y = lineY(i);
      if (!visible(y)) continue;
      const std::string_view line = block.Line(i);
      if (!pieced(line)) {
        const int x = lineX(breaks > 0 ? MeasureText(font, line).width : 0);
        DrawText(picture.get(), font, std::string(line), x, static_cast<int>(y), letters, background);
        continue;
      }
      const int x = lineX(aligned() ? ClampToInt(PixelsUp(piecedWidth(line))) : 0);
      if (x >= reach) continue;
      int64_t units = 0;
      const std::vector<TextPiece> pieces = visiblePieces(line, x, &units);
      PaintTextBox(picture.get(), x, static_cast<int>(y), ClampToInt(PixelsUp(units)),
                   block.lineHeight, background);
      DrawTextLetters(picture.get(), font, pieces, static_cast<int>(y), letters);
    }
    return picture;
  }

  const Color letters = ParseColor(settings.FontColor, 255);
  const Color background = ParseColor(settings.BackColor, 255);
  Picture backdrop = CreatePicture(width, height);
  Picture letterPicture = CreatePicture(width, height);
  Picture mark = CreatePicture(width, height);
  if (!backdrop || !letterPicture || !mark) return nullptr;
  FillPicture(backdrop.get(), background);
  for (size_t i = 0; i < block.lines.size(); ++i) {
    const int64_t y = lineY(i);
    if (!visible(y)) continue;
    const std::string_view line = block.Line(i);
    if (!pieced(line)) {
      const int lineWidth =
          breaks > 0 ? static_cast<int>(std::lround(MeasureVectorText(font, line))) : 0;
      DrawVectorText(letterPicture.get(), font, std::string(line), lineX(lineWidth),
                     static_cast<int>(y), letters);
      continue;
    }
    const int lineWidth =
        aligned() ? ClampToInt(std::llround(static_cast<double>(piecedWidth(line)) / kTextUnits)) : 0;
    const int x = lineX(lineWidth);
    if (x >= reach) continue;
    int64_t units = 0;
    DrawVectorTextPieces(letterPicture.get(), font, visiblePieces(line, x, &units),
                         static_cast<int>(y), letters);
  }
  DrawPicture(mark.get(), backdrop.get(), 0, 0, Opacity(settings.BackOpacity), DrawMode::Blend);
  DrawPicture(mark.get(), letterPicture.get(), 0, 0, Opacity(settings.TextOpacity),
              DrawMode::Blend);
  return mark;
}

}  // namespace ravelin
