#include "engine/marks/frame.h"

#include <algorithm>
#include <cstdint>

#include "engine/ops/color.h"
#include "engine/marks/drawing.h"
#include "engine/marks/overlay.h"

namespace ravelin {
namespace {

constexpr int kFrameSolid = 1;  // FrameType "SOLID"

struct FrameWidths {
  int64_t left = 0, right = 0, top = 0, bottom = 0;
};

// Two sides that together exceed their dimension share it in proportion to their widths, so
// the frame fills the picture and the seams still run from corner to corner.
void ShareDimension(int64_t size, int64_t* first, int64_t* second) {
  *first = std::max<int64_t>(*first, 0);
  *second = std::max<int64_t>(*second, 0);
  if (*first + *second <= size) return;
  *first = (size * *first + (*first + *second) / 2) / (*first + *second);
  *second = size - *first;
}

struct Band {
  int64_t x, y, width, height;
};

// The eight shapes, in drawing order, on a picture holding the part of the frame at the band.
void DrawFrameShapes(VectorDrawing& drawing, const FrameWidths& f, double W, double H,
                     const Color& left, const Color& right, const Color& top,
                     const Color& bottom) {
  const double L = f.left, R = f.right, T = f.top, B = f.bottom;
  // Corner squares under the diagonal seams.
  drawing.FillRectangle(0, 0, L, T, top);
  drawing.FillRectangle(W - R, 0, R, T, right);
  drawing.FillRectangle(W - R, H - B, R, B, bottom);
  drawing.FillRectangle(0, H - B, L, B, left);
  drawing.FillPolygon({{0, 0}, {W, 0}, {W - R, T}, {L, T}}, top);
  drawing.FillPolygon({{W, 0}, {W, H}, {W - R, H - B}, {W - R, T}}, right);
  drawing.FillPolygon({{W, H}, {0, H}, {L, H - B}, {W - R, H - B}}, bottom);
  drawing.FillPolygon({{0, H}, {0, 0}, {L, T}, {L, H - B}}, left);
}

// The frame's part at the band, drawn and then laid at the frame opacity onto a transparent
// picture, as a 32-bit bitmap; null when the drawing fails.
FIBITMAP* DrawBand(const Band& band, const FrameWidths& f, int64_t W, int64_t H,
                   const Color& left, const Color& right, const Color& top, const Color& bottom,
                   uint8_t opacity) {
  Picture drawn = CreatePicture(static_cast<int>(band.width), static_cast<int>(band.height));
  if (!drawn) return nullptr;
  {
    VectorDrawing drawing(drawn.get(), static_cast<int>(band.x), static_cast<int>(band.y));
    if (!drawing.ok()) return nullptr;
    DrawFrameShapes(drawing, f, static_cast<double>(W), static_cast<double>(H), left, right, top,
                    bottom);
  }
  Picture blend = CreatePicture(static_cast<int>(band.width), static_cast<int>(band.height));
  if (!blend) return nullptr;
  DrawPicture(blend.get(), drawn.get(), 0, 0, opacity, DrawMode::Blend);
  return PictureToBitmap(blend.get());
}

}  // namespace

FIBITMAP* DrawFrame(FIBITMAP* image, const Settings& settings, unsigned width, unsigned height) {
  if (image == nullptr || settings.DoFrame == 0) return image;
  image = ToTwentyFourBits(image);
  if (image == nullptr || settings.DoFrame != kFrameSolid) return image;

  // The frame lies inside the image: never beyond the bitmap, whatever size was passed.
  const int64_t W = std::min<int64_t>(width, FreeImage_GetWidth(image));
  const int64_t H = std::min<int64_t>(height, FreeImage_GetHeight(image));
  FrameWidths f{settings.SolidLeft, settings.SolidRight, settings.SolidTop, settings.SolidBottom};
  ShareDimension(W, &f.left, &f.right);
  ShareDimension(H, &f.top, &f.bottom);
  const Color left = ParseColor(settings.SolidLeftColor, 255);
  const Color right = ParseColor(settings.SolidRightColor, 255);
  const Color top = ParseColor(settings.SolidTopColor, 255);
  const Color bottom = ParseColor(settings.SolidBottomColor, 255);
  const uint8_t opacity = static_cast<uint8_t>(std::clamp<int32_t>(settings.SolidOpacity, 0, 255));

  // Only the four bands are drawn, each on a picture of its own size; together they hold
  // every pixel the frame's shapes touch.
  const Band bands[] = {
      {0, 0, W, f.top},
      {0, H - f.bottom, W, f.bottom},
      {0, f.top, f.left, H - f.top - f.bottom},
      {W - f.right, f.top, f.right, H - f.top - f.bottom},
  };
  // A failure anywhere in the drawing leaves the whole frame out, so the overlays are all made
  // before the first one is blended.
  FIBITMAP* overlays[4] = {nullptr, nullptr, nullptr, nullptr};
  bool drawn = true;
  for (int i = 0; i < 4 && drawn; ++i) {
    const Band& band = bands[i];
    if (band.width <= 0 || band.height <= 0) continue;
    overlays[i] = DrawBand(band, f, W, H, left, right, top, bottom, opacity);
    drawn = overlays[i] != nullptr;
  }
  for (int i = 0; i < 4; ++i) {
    if (drawn && overlays[i] != nullptr) BlendOver(image, overlays[i], bands[i].x, bands[i].y);
    if (overlays[i] != nullptr) FreeImage_Unload(overlays[i]);
  }
  return image;
}

}  // namespace ravelin
