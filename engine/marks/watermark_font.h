// The font of the text watermark: loaded by the front end (console run, window run) before
// the batch worker starts and freed after the run; the watermark step only draws with it.
#pragma once

#include <memory>

#include "settings/settings.h"

namespace ravelin {

class Font;  // the drawing layer's font (engine/marks/drawing.h)

class WatermarkFont {
 public:
  explicit WatermarkFont(std::unique_ptr<Font> font);
  ~WatermarkFont();
  WatermarkFont(const WatermarkFont&) = delete;
  WatermarkFont& operator=(const WatermarkFont&) = delete;

  const Font& font() const { return *font_; }
  // Character height in pixels.
  int PixelHeight() const;

 private:
  std::unique_ptr<Font> font_;
};

// Face `Font`, `Font Size` points at 96 dpi, bold for `Font Style` 1 and 3, italic for 2 and
// 3, underlined for `Font Effect` 1, struck out for 2. Null when the face cannot be created:
// no installed family of that name (letter case ignored) and no strong or same-metric alias
// for it ("Arial" loads through its metric-compatible substitute), or a height outside 1 to
// kMaxFontPixels.
std::unique_ptr<WatermarkFont> LoadWatermarkFont(const Settings& settings);

// The tallest letters the watermark may have: beyond it cairo would render glyph masks far
// larger than any picture the engine makes.
inline constexpr int kMaxFontPixels = 4096;

// round(points x 96 / 72).
int FontPixelHeight(int points);

}  // namespace ravelin
