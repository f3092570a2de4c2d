// The drawing layer of the frame and the watermark: pictures with transparency (cairo ARGB32
// surfaces, premultiplied), fonts through pango and fontconfig, text measurement and drawing
// (2D text without anti-aliasing, anti-aliased vector text), filling, drawing one picture onto
// another, and the transfer between pictures and 32-bit FreeImage bitmaps. Used only by
// engine/marks/frame.cpp, the watermark modules and the watermark font.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <FreeImage.h>
#include <cairo.h>

#include "engine/ops/color.h"

typedef struct _PangoFontDescription PangoFontDescription;

namespace ravelin {

struct PictureDeleter {
  void operator()(cairo_surface_t* surface) const;
};
using Picture = std::unique_ptr<cairo_surface_t, PictureDeleter>;

// A fully transparent picture; null when a side is below 1, beyond the engine's image limits,
// or cairo cannot make it.
Picture CreatePicture(int width, int height);
int PictureWidth(cairo_surface_t* picture);
int PictureHeight(cairo_surface_t* picture);
// A new picture of the new size holding the old one scaled without smoothing; null on failure.
Picture ResizePicture(cairo_surface_t* picture, int width, int height);

// How a picture or a colour is put onto a picture: blended over what is there, or replacing
// all four channels (with a constant alpha: a mix of the old and the new pixel).
enum class DrawMode { Blend, AllChannels };

// Paints the whole picture with the colour, all four channels written.
void FillPicture(cairo_surface_t* picture, Color color);
// Draws `source` with its top-left corner at (x, y) and a constant alpha (255 = as it is).
void DrawPicture(cairo_surface_t* target, cairo_surface_t* source, int x, int y, uint8_t alpha,
                 DrawMode mode);
// The filter mode: every pixel of `source`, un-premultiplied, passes through `filter` before
// it is drawn as DrawPicture does.
using PixelFilter = void (*)(uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t alpha);
void DrawPictureFiltered(cairo_surface_t* target, cairo_surface_t* source, int x, int y,
                         uint8_t alpha, DrawMode mode, PixelFilter filter);

struct PathPoint {
  double x = 0;
  double y = 0;
};

// Vector drawing on a picture whose top-left pixel sits at (originX, originY) of the drawing's
// coordinates, so a band of a larger drawing is drawn on a picture of the band's size alone.
// Shapes are filled with anti-aliasing, blended over the picture.
class VectorDrawing {
 public:
  VectorDrawing(cairo_surface_t* picture, int originX, int originY);
  ~VectorDrawing();
  VectorDrawing(const VectorDrawing&) = delete;
  VectorDrawing& operator=(const VectorDrawing&) = delete;
  bool ok() const;

  void FillRectangle(double x, double y, double width, double height, Color color);
  // A closed polygon through the points, filled by the non-zero winding rule.
  void FillPolygon(std::initializer_list<PathPoint> points, Color color);

 private:
  cairo_t* cairo_;
};

// A font: face, character height in pixels, weight and slant; underline and strike-out are
// drawn as text attributes.
class Font {
 public:
  Font(const std::string& face, int pixelHeight, bool bold, bool italic, bool underline,
       bool strikeOut);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  const PangoFontDescription* description() const { return description_; }
  int pixelHeight() const { return pixelHeight_; }
  bool underline() const { return underline_; }
  bool strikeOut() const { return strikeOut_; }

 private:
  PangoFontDescription* description_;
  int pixelHeight_;
  bool underline_;
  bool strikeOut_;
};

// The rule for creating a face: an installed family of that name (letter case ignored), or a
// strong or same-metric fontconfig alias of it that is installed. Weak fall-backs (the generic
// "sans-serif" every unknown name ends in) do not count.
bool FontFaceExists(const std::string& face);

struct TextExtent {
  int width = 0;
  int height = 0;
};

// Logical size of one line of 2D text (drawn without anti-aliasing) in pixels.
TextExtent MeasureText(const Font& font, std::string_view text);
// Width of one line of vector text, unrounded, in pixels.
double MeasureVectorText(const Font& font, std::string_view text);
// 2D text at (x, y) (top-left of its logical box): the box painted with the background colour,
// then the letters, all four channels written, without anti-aliasing.
void DrawText(cairo_surface_t* picture, const Font& font, const std::string& text, int x, int y,
              Color letters, Color background);
// Vector text at (x, y): the outlines filled with anti-aliasing, blended over the picture.
void DrawVectorText(cairo_surface_t* picture, const Font& font, const std::string& text, int x,
                    int y, Color letters);

// Lines too long to lay out at once are laid out in pieces. A piece's advance is counted in
// the layout's own units (kTextUnits to the pixel) so that the pieces of a line add up exactly.
inline constexpr int kTextUnits = 1024;
// Advance of one line laid out alone, in text units, for 2D (vector false) or vector text.
int64_t TextAdvance(const Font& font, std::string_view text, bool vector);
// True when `left` and `right` laid out together give the glyphs, advances and offsets of the
// two laid out apart: no kerning, ligature or other shaping reaches across the cut.
bool CutKeepsGlyphs(const Font& font, std::string_view left, std::string_view right, bool vector);
// True when every run of the laid-out text uses one and the same font, left to right; then
// *height is the logical height of any non-empty line of those characters.
bool SingleFontLine(const Font& font, std::string_view text, bool vector, int* height);
// The box of a 2D text line painted with the background colour, all four channels written.
void PaintTextBox(cairo_surface_t* picture, double x, int y, int width, int height, Color background);
// A line of 2D text whose pieces start at the given x (in pixels, from the left of the picture):
// the letters only, all four channels written, without anti-aliasing.
using TextPiece = std::pair<std::string_view, double>;
void DrawTextLetters(cairo_surface_t* picture, const Font& font,
                     const std::vector<TextPiece>& pieces, int y, Color letters);
// A line of vector text from its pieces: the outlines of all pieces filled at once.
void DrawVectorTextPieces(cairo_surface_t* picture, const Font& font,
                          const std::vector<TextPiece>& pieces, int y, Color letters);

// A 32-bit FreeImage bitmap with straight alpha equal to the picture's PNG encoding (the
// un-premultiplying rounds as cairo's PNG writer does); null on failure.
FIBITMAP* PictureToBitmap(cairo_surface_t* picture);
// A picture holding the bitmap (any depth FreeImage converts to 32 bits, its alpha kept);
// null on failure.
Picture BitmapToPicture(FIBITMAP* bitmap);

}  // namespace ravelin
