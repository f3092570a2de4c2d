// The text block of a text watermark.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/ops/color.h"
#include "engine/marks/mark_pictures.h"
#include "engine/naming.h"
#include "engine/marks/watermark.h"
#include "platform/text.h"

namespace ravelin {
namespace {

constexpr char kLineBreak[] = "%eol%";
constexpr int kMinLineBox = 10;  // a multi-line block is never smaller than this per line

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t found = text.find(kLineBreak, start);
    lines.push_back(text.substr(start, found == std::string::npos ? std::string::npos : found - start));
    if (found == std::string::npos) return lines;
    start = found + sizeof kLineBreak - 1;
  }
}

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

TextBlock MeasureTextBlock(const Settings& settings, const JobContext& job, const Font& font) {
  TextBlock block;
  std::string text = WatermarkText(settings, job);
  const std::string lowered = ToLowerAscii(text);
  for (size_t at = lowered.find(kLineBreak); at != std::string::npos;
       at = lowered.find(kLineBreak, at + 1)) {
    ++block.breaks;
  }

  // The block is measured with 2D text, whichever way the letters are drawn.
  if (block.breaks > 0) {
    block.lines = SplitLines(ReplaceAllIgnoreCase(text, kLineBreak, kLineBreak));
    for (const std::string& line : block.lines) {
      const TextExtent extent = MeasureText(font, line);
      block.width = std::max<int64_t>(block.width, extent.width);
      block.height = std::max<int64_t>(block.height, extent.height);
    }
    block.width = std::max<int64_t>(block.width, kMinLineBox);
    block.height = std::max<int64_t>(block.height, kMinLineBox);
    block.lineStep = block.height + settings.FontLeading;
    block.height += block.breaks * block.lineStep;
  } else {
    const TextExtent extent = MeasureText(font, text);
    block.lines.push_back(std::move(text));
    block.width = extent.width;
    block.height = extent.height;
  }
  block.width += 2 * static_cast<int64_t>(settings.TextPadding);
  block.height += 2 * static_cast<int64_t>(settings.TextPadding);
  return block;
}

Picture BuildTextMark(const Settings& settings, const JobContext& job, const Font& font,
                      int maxWidth, int maxHeight, bool* empty) {
  return DrawTextBlock(settings, MeasureTextBlock(settings, job, font), font, maxWidth, maxHeight, empty);
}

Picture DrawTextBlock(const Settings& settings, const TextBlock& block, const Font& font,
                      int maxWidth, int maxHeight, bool* empty) {
  if (empty != nullptr) *empty = false;
  const std::vector<std::string>& lines = block.lines;
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

  // A single line sits at the padding: the block is exactly its width plus the padding on
  // both sides, so every alignment would put it there.
  auto lineX = [&](int lineWidth) {
    return breaks > 0 ? AlignTextLine(lineWidth, ClampToInt(blockWidth), settings)
                      : ClampToInt(padding);
  };
  auto lineY = [&](size_t index) { return padding + static_cast<int64_t>(index) * lineStep; };
  // Lines wholly outside the picture are not drawn (nor their positions handed to cairo).
  auto visible = [&](int64_t y) { return y < height && y > -static_cast<int64_t>(blockHeight); };

  if (!settings.TextAntialiasing) {
    const Color letters = ParseColor(settings.FontColor, Opacity(settings.TextOpacity));
    const Color background = ParseColor(settings.BackColor, Opacity(settings.BackOpacity));
    Picture picture = CreatePicture(width, height);
    if (!picture) return nullptr;
    FillPicture(picture.get(), background);
    for (size_t i = 0; i < lines.size(); ++i) {
      const int64_t y = lineY(i);
      if (!visible(y)) continue;
      const int x = lineX(breaks > 0 ? MeasureText(font, lines[i]).width : 0);
      DrawText(picture.get(), font, lines[i], x, static_cast<int>(y), letters, background);
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
  for (size_t i = 0; i < lines.size(); ++i) {
    const int64_t y = lineY(i);
    if (!visible(y)) continue;
    const int lineWidth =
        breaks > 0 ? static_cast<int>(std::lround(MeasureVectorText(font, lines[i]))) : 0;
    DrawVectorText(letterPicture.get(), font, lines[i], lineX(lineWidth), static_cast<int>(y),
                   letters);
  }
  DrawPicture(mark.get(), backdrop.get(), 0, 0, Opacity(settings.BackOpacity), DrawMode::Blend);
  DrawPicture(mark.get(), letterPicture.get(), 0, 0, Opacity(settings.TextOpacity),
              DrawMode::Blend);
  return mark;
}

}  // namespace ravelin
