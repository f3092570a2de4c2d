// Fonts, text measurement and text drawing of the drawing layer (pango on cairo, fontconfig).
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include "engine/marks/drawing.h"
#include "platform/text.h"

namespace ravelin {
namespace {

// 2D text is drawn and measured like a bitmap font: no anti-aliasing, whole-pixel advances.
// Vector text keeps the outlines' own advances.
enum class TextKind { Pixel, Vector };

PangoLayout* CreateLayout(cairo_t* cairo, const Font& font, std::string_view text,
                          TextKind kind) {
  PangoLayout* layout = pango_cairo_create_layout(cairo);
  cairo_font_options_t* options = cairo_font_options_create();
  if (kind == TextKind::Pixel) {
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  } else {
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  }
  PangoContext* context = pango_layout_get_context(layout);
  pango_cairo_context_set_font_options(context, options);
  pango_cairo_context_set_resolution(context, 96);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(layout);

  pango_layout_set_font_description(layout, font.description());
  PangoAttrList* attributes = pango_attr_list_new();
  if (font.underline()) {
    pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  }
  if (font.strikeOut()) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
  pango_layout_set_attributes(layout, attributes);
  pango_attr_list_unref(attributes);
  // A line of the mark is one paragraph: only "%eol%" breaks lines, and a raw line break is a
  // character of the line (pango would lay out each paragraph again for every further one).
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
  return layout;
}

// Measuring needs a context but no pixels of its own.
class MeasuringContext {
 public:
  MeasuringContext()
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)),
        cairo_(cairo_create(surface_)) {}
  ~MeasuringContext() {
    cairo_destroy(cairo_);
    cairo_surface_destroy(surface_);
  }
  cairo_t* get() const { return cairo_; }

 private:
  cairo_surface_t* surface_;
  cairo_t* cairo_;
};

TextKind KindOf(bool vector) { return vector ? TextKind::Vector : TextKind::Pixel; }

struct PlacedGlyph {
  PangoGlyph glyph;
  int width, xOffset, yOffset;
  bool operator==(const PlacedGlyph& other) const {
    return glyph == other.glyph && width == other.width && xOffset == other.xOffset &&
           yOffset == other.yOffset;
  }
};

void AppendGlyphs(PangoLayout* layout, std::vector<PlacedGlyph>* glyphs) {
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  for (GSList* run = line != nullptr ? line->runs : nullptr; run != nullptr; run = run->next) {
    const PangoGlyphString* string = static_cast<PangoGlyphItem*>(run->data)->glyphs;
    for (int i = 0; i < string->num_glyphs; ++i) {
      const PangoGlyphInfo& info = string->glyphs[i];
      glyphs->push_back({info.glyph, info.geometry.width, info.geometry.x_offset,
                         info.geometry.y_offset});
    }
  }
}

bool IsUsablePicture(cairo_surface_t* picture) {
  return picture != nullptr && cairo_surface_status(picture) == CAIRO_STATUS_SUCCESS;
}

void SetColor(cairo_t* cairo, Color color) {
  cairo_set_source_rgba(cairo, color.red / 255.0, color.green / 255.0, color.blue / 255.0,
                        color.alpha / 255.0);
}

bool FamilyInstalled(const std::string& family) {
  const std::string wanted = ToLowerUnicode(family);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  bool found = false;
  // fontconfig also overlooks blanks in family names; only letter case may differ here.
  for (int i = 0; fonts != nullptr && i < fonts->nfont && !found; ++i) {
    FcChar8* name = nullptr;
    for (int n = 0; !found && FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &name) ==
                                  FcResultMatch;
         ++n) {
      found = ToLowerUnicode(reinterpret_cast<const char*>(name)) == wanted;
    }
  }
  if (fonts != nullptr) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

}  // namespace

Font::Font(const std::string& face, int pixelHeight, bool bold, bool italic, bool underline,
           bool strikeOut)
    : description_(pango_font_description_new()),
      pixelHeight_(pixelHeight),
      underline_(underline),
      strikeOut_(strikeOut) {
  pango_font_description_set_family(description_, face.c_str());
  pango_font_description_set_absolute_size(description_,
                                           static_cast<double>(pixelHeight) * PANGO_SCALE);
  pango_font_description_set_weight(description_,
                                    bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(description_, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
}

Font::~Font() { pango_font_description_free(description_); }

bool FontFaceExists(const std::string& face) {
  if (face.empty() || face.find('\0') != std::string::npos) return false;
  // fontconfig's generic families stand for whichever installed face its configuration prefers.
  for (const char* generic : {"sans-serif", "serif", "monospace"}) {
    if (EqualsIgnoreAsciiCase(face, generic)) return true;
  }
  if (FamilyInstalled(face)) return true;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  bool found = false;
  FcValue value;
  FcValueBinding binding;
  // Index 0 is the name itself; the configuration's aliases follow it.
  for (int n = 1; !found && FcPatternGetWithBinding(pattern, FC_FAMILY, n, &value, &binding) ==
                                FcResultMatch;
       ++n) {
    if (binding == FcValueBindingWeak || value.type != FcTypeString) continue;
    found = FamilyInstalled(reinterpret_cast<const char*>(value.u.s));
  }
  FcPatternDestroy(pattern);
  return found;
}

TextExtent MeasureText(const Font& font, std::string_view text) {
  MeasuringContext context;
  PangoLayout* layout = CreateLayout(context.get(), font, text, TextKind::Pixel);
  TextExtent extent;
  pango_layout_get_pixel_size(layout, &extent.width, &extent.height);
  g_object_unref(layout);
  return extent;
}

double MeasureVectorText(const Font& font, std::string_view text) {
  MeasuringContext context;
  PangoLayout* layout = CreateLayout(context.get(), font, text, TextKind::Vector);
  int width = 0;
  int height = 0;
  pango_layout_get_size(layout, &width, &height);
  g_object_unref(layout);
  return static_cast<double>(width) / PANGO_SCALE;
}

int64_t TextAdvance(const Font& font, std::string_view text, bool vector) {
  MeasuringContext context;
  PangoLayout* layout = CreateLayout(context.get(), font, text, KindOf(vector));
  int width = 0;
  int height = 0;
  pango_layout_get_size(layout, &width, &height);
  g_object_unref(layout);
  return width;
}

bool CutKeepsGlyphs(const Font& font, std::string_view left, std::string_view right, bool vector) {
  MeasuringContext context;
  std::vector<PlacedGlyph> apart;
  std::vector<PlacedGlyph> together;
  for (const std::string_view part : {left, right}) {
    PangoLayout* layout = CreateLayout(context.get(), font, part, KindOf(vector));
    AppendGlyphs(layout, &apart);
    g_object_unref(layout);
  }
  std::string both(left);
  both.append(right);
  PangoLayout* layout = CreateLayout(context.get(), font, both, KindOf(vector));
  AppendGlyphs(layout, &together);
  g_object_unref(layout);
  return apart == together;
}

bool SingleFontLine(const Font& font, std::string_view text, bool vector, int* height) {
  MeasuringContext context;
  PangoLayout* layout = CreateLayout(context.get(), font, text, KindOf(vector));
  bool single = pango_layout_get_line_count(layout) == 1;
  PangoFont* first = nullptr;
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  for (GSList* run = line != nullptr ? line->runs : nullptr; single && run != nullptr;
       run = run->next) {
    const PangoItem* item = static_cast<PangoGlyphItem*>(run->data)->item;
    if (first == nullptr) first = item->analysis.font;
    single = item->analysis.font == first && item->analysis.level % 2 == 0;
  }
  int width = 0;
  pango_layout_get_pixel_size(layout, &width, height);
  g_object_unref(layout);
  return single && first != nullptr;
}

void PaintTextBox(cairo_surface_t* picture, double x, int y, int width, int height,
                  Color background) {
  if (!IsUsablePicture(picture)) return;
  cairo_t* cairo = cairo_create(picture);
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
  SetColor(cairo, background);
  cairo_rectangle(cairo, x, y, width, height);
  cairo_fill(cairo);
  cairo_destroy(cairo);
  cairo_surface_flush(picture);
}

void DrawTextLetters(cairo_surface_t* picture, const Font& font,
                     const std::vector<TextPiece>& pieces, int y, Color letters) {
  if (!IsUsablePicture(picture)) return;
  cairo_t* cairo = cairo_create(picture);
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
  SetColor(cairo, letters);
  for (const TextPiece& piece : pieces) {
    PangoLayout* layout = CreateLayout(cairo, font, piece.first, TextKind::Pixel);
    cairo_move_to(cairo, piece.second, y);
    pango_cairo_show_layout(cairo, layout);
    g_object_unref(layout);
  }
  cairo_destroy(cairo);
  cairo_surface_flush(picture);
}

void DrawVectorTextPieces(cairo_surface_t* picture, const Font& font,
                          const std::vector<TextPiece>& pieces, int y, Color letters) {
  if (!IsUsablePicture(picture)) return;
  cairo_t* cairo = cairo_create(picture);
  for (const TextPiece& piece : pieces) {
    PangoLayout* layout = CreateLayout(cairo, font, piece.first, TextKind::Vector);
    cairo_move_to(cairo, piece.second, y);
    pango_cairo_layout_path(cairo, layout);
    g_object_unref(layout);
  }
  cairo_set_antialias(cairo, CAIRO_ANTIALIAS_DEFAULT);
  SetColor(cairo, letters);
  cairo_fill(cairo);
  cairo_destroy(cairo);
  cairo_surface_flush(picture);
}

void DrawText(cairo_surface_t* picture, const Font& font, const std::string& text, int x, int y,
              Color letters, Color background) {
  if (!IsUsablePicture(picture)) return;
  cairo_t* cairo = cairo_create(picture);
  PangoLayout* layout = CreateLayout(cairo, font, text, TextKind::Pixel);
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
  SetColor(cairo, background);
  cairo_rectangle(cairo, x, y, width, height);
  cairo_fill(cairo);
  SetColor(cairo, letters);
  cairo_move_to(cairo, x, y);
  pango_cairo_show_layout(cairo, layout);
  g_object_unref(layout);
  cairo_destroy(cairo);
  cairo_surface_flush(picture);
}

void DrawVectorText(cairo_surface_t* picture, const Font& font, const std::string& text, int x,
                    int y, Color letters) {
  if (!IsUsablePicture(picture)) return;
  cairo_t* cairo = cairo_create(picture);
  PangoLayout* layout = CreateLayout(cairo, font, text, TextKind::Vector);
  cairo_move_to(cairo, x, y);
  pango_cairo_layout_path(cairo, layout);
  cairo_set_antialias(cairo, CAIRO_ANTIALIAS_DEFAULT);
  SetColor(cairo, letters);
  cairo_fill(cairo);
  g_object_unref(layout);
  cairo_destroy(cairo);
  cairo_surface_flush(picture);
}

}  // namespace ravelin
