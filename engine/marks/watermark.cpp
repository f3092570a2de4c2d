#include "engine/marks/watermark.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

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

// The size of a w x h mark turned by `angle` degrees, as the bounding box of the turned
// rectangle (FreeImage's turned bitmap is up to two pixels larger).
void TurnedSize(double w, double h, int angle, double* turnedWidth, double* turnedHeight) {
  const double radians = angle * M_PI / 180.0;
  *turnedWidth = std::fabs(w * std::cos(radians)) + std::fabs(h * std::sin(radians));
  *turnedHeight = std::fabs(w * std::sin(radians)) + std::fabs(h * std::cos(radians));
}

// True when the window of windowWidth x windowHeight at the top-left corner of a w x h mark
// turned by `angle` degrees lies in the turned bitmap's transparent corner, at least a few
// pixels clear of the turned rectangle (FreeImage turns counter-clockwise about the centre,
// its edges spread by a pixel or two): nothing of the mark could show there. Shown by a
// separating axis: the window's and the rectangle's sides.
bool TurnedMarkMissesWindow(double w, double h, int angle, double windowWidth, double windowHeight) {
  constexpr double kClearance = 4;
  const double radians = angle * M_PI / 180.0;
  const double c = std::cos(radians), s = std::sin(radians);
  double turnedWidth = 0, turnedHeight = 0;
  TurnedSize(w, h, angle, &turnedWidth, &turnedHeight);
  struct Point { double x, y; };
  Point rectangle[4];
  int n = 0;
  for (const double x : {-w / 2, w / 2}) {
    for (const double y : {-h / 2, h / 2}) {
      // Screen coordinates, y downward: counter-clockwise on the screen.
      rectangle[n++] = {turnedWidth / 2 + x * c + y * s, turnedHeight / 2 - x * s + y * c};
    }
  }
  const Point window[4] = {{0, 0}, {windowWidth, 0}, {0, windowHeight}, {windowWidth, windowHeight}};
  const Point axes[4] = {{1, 0}, {0, 1}, {c, -s}, {s, c}};
  for (const Point& axis : axes) {
    double rectangleMin = INFINITY, rectangleMax = -INFINITY, windowMin = INFINITY, windowMax = -INFINITY;
    for (const Point& p : rectangle) {
      const double along = p.x * axis.x + p.y * axis.y;
      rectangleMin = std::min(rectangleMin, along);
      rectangleMax = std::max(rectangleMax, along);
    }
    for (const Point& p : window) {
      const double along = p.x * axis.x + p.y * axis.y;
      windowMin = std::min(windowMin, along);
      windowMax = std::max(windowMax, along);
    }
    if (windowMax + kClearance < rectangleMin || rectangleMax + kClearance < windowMin) return true;
  }
  return false;
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
  TextBlock block;
  double markWidth = 0, markHeight = 0;
  if (kind == MarkKind::Text) {
    if (font == nullptr) return image;
    block = MeasureTextBlock(settings, job, font->font(), maxWidth);
    if (block.refused) {  // too large to lay out within the bounds: the mark cannot be made
      FreeImage_Unload(image);
      return nullptr;
    }
    if (block.width < 1 || block.height < 1) return image;  // nothing to draw
    markWidth = static_cast<double>(block.width);
    markHeight = static_cast<double>(block.height);
  } else {
    if (WatermarkPictureFormat(settings.Image) == FIF_UNKNOWN) return image;
    WatermarkPictureHeader header;
    if (ReadWatermarkPictureHeader(settings.Image, &header)) {
      markWidth = static_cast<double>(header.width);
      markHeight = static_cast<double>(header.height);
    }
  }

  // A turned mark is drawn whole, then cut to the room from its top-left corner. Known from its
  // size alone: one that cannot be turned within the limits fails before it is drawn, and one
  // whose part that is kept is all transparent corner shows nothing, so it is not drawn at all.
  const int angle = MarkAngle(kind, settings);
  if (Rotates(angle) && markWidth > 0) {
    double turnedWidth = 0, turnedHeight = 0;
    TurnedSize(markWidth, markHeight, angle, &turnedWidth, &turnedHeight);
    const MarkRoom room = RoomFor(kind, settings, width, height);
    const double windowWidth = std::min<double>(turnedWidth, room.width - room.xOffset);
    const double windowHeight = std::min<double>(turnedHeight, room.height - room.yOffset);
    if (!WithinImageLimits(static_cast<uint64_t>(std::ceil(turnedWidth)) + 2,
                           static_cast<uint64_t>(std::ceil(turnedHeight)) + 2, 32) ||
        windowWidth <= 0 || windowHeight <= 0) {
      FreeImage_Unload(image);
      return nullptr;
    }
    if (TurnedMarkMissesWindow(markWidth, markHeight, angle, windowWidth, windowHeight)) return image;
  }

  Picture picture = kind == MarkKind::Text
                        ? DrawTextBlock(settings, block, font->font(), maxWidth, maxHeight)
                        : BuildImageMark(settings, maxWidth, maxHeight);
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
