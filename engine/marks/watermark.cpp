#include "engine/marks/watermark.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/marks/drawing.h"
#include "engine/image_limits.h"
#include "engine/marks/mark_pictures.h"
#include "engine/marks/overlay.h"
#include "engine/watermark_picture.h"

namespace ravelin {
namespace {

constexpr int kWatermarkText = 1;   // WatermarkType "TEXT"
constexpr int kWatermarkImage = 2;  // WatermarkType "IMAGE"
constexpr int kBoundaryFrame = 1;   // Boundary "FRAME"

// The room a mark is placed in: the image, or the area inside the frame when a frame is on and
// the mark's boundary says so; (left, top) is that area's corner.
struct MarkRoom {
  int64_t width = 0, height = 0, left = 0, top = 0;
  int64_t xOffset = 0, yOffset = 0;
};

MarkRoom RoomFor(MarkKind kind, const Settings& settings, unsigned width, unsigned height) {
  const bool text = kind == MarkKind::Text;
  MarkRoom room;
  room.width = width;
  room.height = height;
  room.xOffset = text ? settings.TextXOffset : settings.ImageXOffset;
  room.yOffset = text ? settings.TextYOffset : settings.ImageYOffset;
  const int boundary = text ? settings.TextBoundary : settings.ImageBoundary;
  if (settings.DoFrame != 0 && boundary == kBoundaryFrame) {
    room.width -= static_cast<int64_t>(settings.SolidLeft) + settings.SolidRight;
    room.height -= static_cast<int64_t>(settings.SolidTop) + settings.SolidBottom;
    room.left = settings.SolidLeft;
    room.top = settings.SolidTop;
  }
  return room;
}

int MarkAngle(MarkKind kind, const Settings& settings) {
  return kind == MarkKind::Text ? settings.TextRotation : settings.WatermarkImageRotation;
}

bool Rotates(int angle) { return angle > 0 && angle < 360; }

// Where a mark goes along one axis: at the offset from the near edge, centred, or at the
// offset from the far edge.
enum class Along { Near, Centre, Far };
struct PositionRule {
  Along x;
  Along y;
};
// Position 0 "TOPLEFT" to 8 "BOTTOMRIGHT".
constexpr PositionRule kPositions[] = {
    {Along::Near, Along::Near},   {Along::Centre, Along::Near},   {Along::Far, Along::Near},
    {Along::Near, Along::Centre}, {Along::Centre, Along::Centre}, {Along::Far, Along::Centre},
    {Along::Near, Along::Far},    {Along::Centre, Along::Far},    {Along::Far, Along::Far},
};

int64_t PlaceAlong(Along rule, int64_t room, int64_t size, int64_t offset) {
  switch (rule) {
    case Along::Near:
      return offset;
    case Along::Centre:
      return (room - size) / 2;  // C++ division cuts toward zero
    case Along::Far:
      return room - size - offset;
  }
  return 0;
}

int ClampToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

FIBITMAP* RotateMark(FIBITMAP* mark, MarkKind kind, const Settings& settings) {
  const int angle = MarkAngle(kind, settings);
  if (mark == nullptr || !Rotates(angle)) return mark;
  const double radians = angle * M_PI / 180.0;
  const double width = FreeImage_GetWidth(mark);
  const double height = FreeImage_GetHeight(mark);
  const double rotatedWidth = std::ceil(std::fabs(width * std::cos(radians)) +
                                        std::fabs(height * std::sin(radians))) + 2;
  const double rotatedHeight = std::ceil(std::fabs(width * std::sin(radians)) +
                                         std::fabs(height * std::cos(radians))) + 2;
  FIBITMAP* rotated = nullptr;
  if (WithinImageLimits(static_cast<uint64_t>(rotatedWidth), static_cast<uint64_t>(rotatedHeight),
                        FreeImage_GetBPP(mark))) {
    rotated = FreeImage_Rotate(mark, angle, nullptr);
  }
  FreeImage_Unload(mark);
  return rotated;
}

FIBITMAP* FitMark(FIBITMAP* mark, MarkKind kind, const Settings& settings, unsigned width,
                  unsigned height) {
  if (mark == nullptr) return nullptr;
  const MarkRoom room = RoomFor(kind, settings, width, height);
  const int64_t w = FreeImage_GetWidth(mark);
  const int64_t h = FreeImage_GetHeight(mark);
  if (w + room.xOffset <= room.width && h + room.yOffset <= room.height) return mark;
  const int64_t right = room.width < w + room.xOffset ? room.width - room.xOffset : w;
  const int64_t bottom = room.height < h + room.yOffset ? room.height - room.yOffset : h;
  FIBITMAP* cut = nullptr;
  if (right > 0 && bottom > 0 && right <= w && bottom <= h) {
    cut = FreeImage_Copy(mark, 0, 0, static_cast<int>(right), static_cast<int>(bottom));
  }
  FreeImage_Unload(mark);
  return cut;
}

MarkPoint PlaceMark(unsigned markWidth, unsigned markHeight, MarkKind kind,
                    const Settings& settings, unsigned width, unsigned height) {
  const MarkRoom room = RoomFor(kind, settings, width, height);
  const int position = kind == MarkKind::Text ? settings.TextPosition : settings.ImagePosition;
  int64_t x = 0;
  int64_t y = 0;
  if (position >= 0 && position < static_cast<int>(std::size(kPositions))) {
    x = PlaceAlong(kPositions[position].x, room.width, markWidth, room.xOffset);
    y = PlaceAlong(kPositions[position].y, room.height, markHeight, room.yOffset);
  }
  return MarkPoint{ClampToInt(x + room.left), ClampToInt(y + room.top)};
}

FIBITMAP* DrawWatermark(FIBITMAP* image, const Settings& settings, const JobContext& job,
                        const WatermarkFont* font, unsigned width, unsigned height) {
  if (image == nullptr || settings.DoWatermark == 0) return image;
  image = ToTwentyFourBits(image);
  if (image == nullptr) return nullptr;
  if (settings.DoWatermark != kWatermarkText && settings.DoWatermark != kWatermarkImage) {
    return image;
  }
  const MarkKind kind = settings.DoWatermark == kWatermarkText ? MarkKind::Text : MarkKind::Image;

  // Unrotated, only the top-left part that fits can show: the picture is made no larger.
  // At least one pixel, so that a mark without room still fails where cutting it does.
  // A rotated mark is drawn whole or not at all.
  int maxWidth = INT32_MAX;
  int maxHeight = INT32_MAX;
  if (!Rotates(MarkAngle(kind, settings))) {
    const MarkRoom room = RoomFor(kind, settings, width, height);
    maxWidth = static_cast<int>(std::clamp<int64_t>(room.width - room.xOffset, 1, kMaxPsdSide));
    maxHeight = static_cast<int>(std::clamp<int64_t>(room.height - room.yOffset, 1, kMaxPsdSide));
  }
  // Left out, as the front ends have checked before the run: a text mark without its font, a
  // text with nothing to draw, a file that is no PNG, JPEG or BMP. Any other mark that was
  // asked for and cannot be made fails the step rather than leave the image without it.
  Picture picture;
  if (kind == MarkKind::Text) {
    if (font == nullptr) return image;
    bool empty = false;
    picture = BuildTextMark(settings, job, font->font(), maxWidth, maxHeight, &empty);
    if (empty) return image;
  } else {
    if (WatermarkPictureFormat(settings.Image) == FIF_UNKNOWN) return image;
    picture = BuildImageMark(settings, maxWidth, maxHeight);
  }
  FIBITMAP* mark = picture ? PictureToBitmap(picture.get()) : nullptr;
  picture.reset();
  mark = RotateMark(mark, kind, settings);
  if (mark == nullptr) {
    FreeImage_Unload(image);
    return nullptr;
  }
  mark = FitMark(mark, kind, settings, width, height);
  if (mark == nullptr) {
    FreeImage_Unload(image);
    return nullptr;
  }
  const MarkPoint at = PlaceMark(FreeImage_GetWidth(mark), FreeImage_GetHeight(mark), kind,
                                 settings, width, height);
  // A mark that does not lie inside the image is left out, as a failed paste would.
  BlendOver(image, mark, at.x, at.y);
  FreeImage_Unload(mark);
  return image;
}

}  // namespace ravelin
