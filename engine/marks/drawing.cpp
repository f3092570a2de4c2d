#include "engine/marks/drawing.h"

#include <vector>

#include "engine/image_limits.h"

namespace ravelin {
namespace {

// cairo keeps premultiplied pixels as native 32-bit words A R G B.
inline uint32_t* PixelRow(cairo_surface_t* picture, int y) {
  return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(picture) +
                                     static_cast<size_t>(y) * cairo_image_surface_get_stride(picture));
}

// The rounding of cairo's PNG reader, so a picture made from a bitmap matches one read from PNG.
inline uint8_t Premultiply(uint8_t alpha, uint8_t color) {
  const unsigned temp = alpha * color + 0x80;
  return static_cast<uint8_t>((temp + (temp >> 8)) >> 8);
}

// The rounding of cairo's PNG writer.
inline uint8_t Unpremultiply(uint8_t alpha, unsigned color) {
  return static_cast<uint8_t>((color * 255 + alpha / 2) / alpha);
}

void SetColor(cairo_t* cairo, Color color) {
  cairo_set_source_rgba(cairo, color.red / 255.0, color.green / 255.0, color.blue / 255.0,
                        color.alpha / 255.0);
}

bool Usable(cairo_surface_t* picture) {
  return picture != nullptr && cairo_surface_status(picture) == CAIRO_STATUS_SUCCESS &&
         cairo_image_surface_get_format(picture) == CAIRO_FORMAT_ARGB32;
}

}  // namespace

void PictureDeleter::operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }

Picture CreatePicture(int width, int height) {
  if (width < 1 || height < 1) return nullptr;
  if (!WithinImageLimits(static_cast<uint64_t>(width), static_cast<uint64_t>(height), 32)) {
    return nullptr;
  }
  Picture picture(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(picture.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return picture;  // cairo clears new image surfaces: fully transparent
}

int PictureWidth(cairo_surface_t* picture) {
  return Usable(picture) ? cairo_image_surface_get_width(picture) : 0;
}

int PictureHeight(cairo_surface_t* picture) {
  return Usable(picture) ? cairo_image_surface_get_height(picture) : 0;
}

Picture ResizePicture(cairo_surface_t* picture, int width, int height) {
  if (!Usable(picture)) return nullptr;
  Picture resized = CreatePicture(width, height);
  if (!resized) return nullptr;
  cairo_t* cairo = cairo_create(resized.get());
  cairo_scale(cairo, static_cast<double>(width) / PictureWidth(picture),
              static_cast<double>(height) / PictureHeight(picture));
  cairo_set_source_surface(cairo, picture, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cairo);
  cairo_destroy(cairo);
  cairo_surface_flush(resized.get());
  return resized;
}

void FillPicture(cairo_surface_t* picture, Color color) {
  if (!Usable(picture)) return;
  cairo_t* cairo = cairo_create(picture);
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  SetColor(cairo, color);
  cairo_paint(cairo);
  cairo_destroy(cairo);
  cairo_surface_flush(picture);
}

void DrawPicture(cairo_surface_t* target, cairo_surface_t* source, int x, int y, uint8_t alpha,
                 DrawMode mode) {
  if (!Usable(target) || !Usable(source)) return;
  cairo_t* cairo = cairo_create(target);
  // The replacing operator is unbounded: without the clip it would clear the rest of the target.
  cairo_rectangle(cairo, x, y, PictureWidth(source), PictureHeight(source));
  cairo_clip(cairo);
  cairo_set_operator(cairo, mode == DrawMode::AllChannels ? CAIRO_OPERATOR_SOURCE
                                                          : CAIRO_OPERATOR_OVER);
  cairo_set_source_surface(cairo, source, x, y);
  cairo_paint_with_alpha(cairo, alpha / 255.0);
  cairo_destroy(cairo);
  cairo_surface_flush(target);
}

void DrawPictureFiltered(cairo_surface_t* target, cairo_surface_t* source, int x, int y,
                         uint8_t alpha, DrawMode mode, PixelFilter filter) {
  if (!Usable(source)) return;
  const int width = PictureWidth(source);
  const int height = PictureHeight(source);
  Picture filtered = CreatePicture(width, height);
  if (!filtered) return;
  cairo_surface_flush(source);
  for (int row = 0; row < height; ++row) {
    const uint32_t* in = PixelRow(source, row);
    uint32_t* out = PixelRow(filtered.get(), row);
    for (int column = 0; column < width; ++column) {
      const uint32_t pixel = in[column];
      const uint8_t a = static_cast<uint8_t>(pixel >> 24);
      if (a == 0) {
        out[column] = 0;
        continue;
      }
      uint8_t red = Unpremultiply(a, (pixel >> 16) & 0xFF);
      uint8_t green = Unpremultiply(a, (pixel >> 8) & 0xFF);
      uint8_t blue = Unpremultiply(a, pixel & 0xFF);
      filter(&red, &green, &blue, a);
      out[column] = (static_cast<uint32_t>(a) << 24) |
                    (static_cast<uint32_t>(Premultiply(a, red)) << 16) |
                    (static_cast<uint32_t>(Premultiply(a, green)) << 8) | Premultiply(a, blue);
    }
  }
  cairo_surface_mark_dirty(filtered.get());
  DrawPicture(target, filtered.get(), x, y, alpha, mode);
}

VectorDrawing::VectorDrawing(cairo_surface_t* picture, int originX, int originY)
    : cairo_(Usable(picture) ? cairo_create(picture) : nullptr) {
  if (cairo_ == nullptr) return;
  cairo_translate(cairo_, -originX, -originY);
  cairo_set_fill_rule(cairo_, CAIRO_FILL_RULE_WINDING);
  cairo_set_antialias(cairo_, CAIRO_ANTIALIAS_DEFAULT);
}

VectorDrawing::~VectorDrawing() {
  if (cairo_ == nullptr) return;
  cairo_surface_t* target = cairo_get_target(cairo_);
  cairo_destroy(cairo_);
  cairo_surface_flush(target);
}

bool VectorDrawing::ok() const {
  return cairo_ != nullptr && cairo_status(cairo_) == CAIRO_STATUS_SUCCESS;
}

void VectorDrawing::FillRectangle(double x, double y, double width, double height,
                                  Color color) {
  if (!ok() || width <= 0 || height <= 0) return;
  cairo_rectangle(cairo_, x, y, width, height);
  SetColor(cairo_, color);
  cairo_fill(cairo_);
}

void VectorDrawing::FillPolygon(std::initializer_list<PathPoint> points, Color color) {
  if (!ok() || points.size() < 3) return;
  bool first = true;
  for (const PathPoint& point : points) {
    if (first) {
      cairo_move_to(cairo_, point.x, point.y);
      first = false;
    } else {
      cairo_line_to(cairo_, point.x, point.y);
    }
  }
  cairo_close_path(cairo_);
  SetColor(cairo_, color);
  cairo_fill(cairo_);
}

FIBITMAP* PictureToBitmap(cairo_surface_t* picture) {
  if (!Usable(picture)) return nullptr;
  const int width = PictureWidth(picture);
  const int height = PictureHeight(picture);
  FIBITMAP* bitmap = FreeImage_Allocate(width, height, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                        FI_RGBA_BLUE_MASK);
  if (bitmap == nullptr) return nullptr;
  cairo_surface_flush(picture);
  for (int y = 0; y < height; ++y) {
    const uint32_t* in = PixelRow(picture, y);
    // FreeImage keeps the bottom row first.
    BYTE* out = FreeImage_GetScanLine(bitmap, height - 1 - y);
    for (int x = 0; x < width; ++x, out += 4) {
      const uint32_t pixel = in[x];
      const uint8_t alpha = static_cast<uint8_t>(pixel >> 24);
      if (alpha == 0) {
        out[FI_RGBA_RED] = out[FI_RGBA_GREEN] = out[FI_RGBA_BLUE] = out[FI_RGBA_ALPHA] = 0;
        continue;
      }
      out[FI_RGBA_RED] = Unpremultiply(alpha, (pixel >> 16) & 0xFF);
      out[FI_RGBA_GREEN] = Unpremultiply(alpha, (pixel >> 8) & 0xFF);
      out[FI_RGBA_BLUE] = Unpremultiply(alpha, pixel & 0xFF);
      out[FI_RGBA_ALPHA] = alpha;
    }
  }
  return bitmap;
}

Picture BitmapToPicture(FIBITMAP* bitmap) {
  if (bitmap == nullptr || !FreeImage_HasPixels(bitmap) ||
      FreeImage_GetImageType(bitmap) != FIT_BITMAP) {
    return nullptr;
  }
  const int width = static_cast<int>(FreeImage_GetWidth(bitmap));
  const int height = static_cast<int>(FreeImage_GetHeight(bitmap));
  Picture picture = CreatePicture(width, height);
  if (!picture) return nullptr;
  FIBITMAP* converted =
      FreeImage_GetBPP(bitmap) == 32 ? bitmap : FreeImage_ConvertTo32Bits(bitmap);
  if (converted == nullptr) return nullptr;
  for (int y = 0; y < height; ++y) {
    const BYTE* in = FreeImage_GetScanLine(converted, height - 1 - y);
    uint32_t* out = PixelRow(picture.get(), y);
    for (int x = 0; x < width; ++x, in += 4) {
      const uint8_t alpha = in[FI_RGBA_ALPHA];
      out[x] = (static_cast<uint32_t>(alpha) << 24) |
               (static_cast<uint32_t>(Premultiply(alpha, in[FI_RGBA_RED])) << 16) |
               (static_cast<uint32_t>(Premultiply(alpha, in[FI_RGBA_GREEN])) << 8) |
               Premultiply(alpha, in[FI_RGBA_BLUE]);
    }
  }
  if (converted != bitmap) FreeImage_Unload(converted);
  cairo_surface_mark_dirty(picture.get());
  return picture;
}

}  // namespace ravelin
