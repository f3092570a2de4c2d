#include "settings/font_attributes.h"

namespace ravelin {
namespace {

struct StyleRow {
  bool bold;
  bool italic;
};
// Indexed by `Font Style`: REGULAR, BOLD, ITALIC, BOLDITALIC.
constexpr StyleRow kStyles[] = {{false, false}, {true, false}, {false, true}, {true, true}};

struct EffectRow {
  bool underline;
  bool strikeOut;
};
// Indexed by `Font Effect`: NONE, UNDERLINE, STRIKETHROUGHT.
constexpr EffectRow kEffects[] = {{false, false}, {true, false}, {false, true}};

}  // namespace

FontAttributes FontAttributesFor(int fontStyle, int fontEffect) {
  FontAttributes attributes;
  if (fontStyle >= 0 && fontStyle < static_cast<int>(sizeof(kStyles) / sizeof(kStyles[0]))) {
    attributes.bold = kStyles[fontStyle].bold;
    attributes.italic = kStyles[fontStyle].italic;
  }
  if (fontEffect >= 0 && fontEffect < static_cast<int>(sizeof(kEffects) / sizeof(kEffects[0]))) {
    attributes.underline = kEffects[fontEffect].underline;
    attributes.strikeOut = kEffects[fontEffect].strikeOut;
  }
  return attributes;
}

}  // namespace ravelin
