#include "engine/marks/watermark_font.h"

#include <cmath>

#include "engine/marks/drawing.h"

namespace ravelin {
WatermarkFont::WatermarkFont(std::unique_ptr<Font> font) : font_(std::move(font)) {}
WatermarkFont::~WatermarkFont() = default;

int WatermarkFont::PixelHeight() const { return font_->pixelHeight(); }

int FontPixelHeight(int points) {
  return static_cast<int>(std::lround(static_cast<double>(points) * 96.0 / 72.0));
}

std::unique_ptr<WatermarkFont> LoadWatermarkFont(const Settings& settings) {
  const int height = FontPixelHeight(settings.FontSize);
  if (height < 1 || height > kMaxFontPixels) return nullptr;
  if (!FontFaceExists(settings.Font)) return nullptr;
  const bool bold = settings.FontStyle == 1 || settings.FontStyle == 3;
  const bool italic = settings.FontStyle == 2 || settings.FontStyle == 3;
  return std::make_unique<WatermarkFont>(std::make_unique<Font>(
      settings.Font, height, bold, italic, settings.FontEffect == 1, settings.FontEffect == 2));
}

}  // namespace ravelin
