// The font attributes of the text watermark, from the `Font Style` and `Font Effect`
// choices. The console run and the window conversion load the watermark font with them.
#pragma once

namespace ravelin {

struct FontAttributes {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

// Style 1 bold, 2 italic, 3 both; effect 1 underline, 2 strike-out. Any other value
// (0 or out of range) adds nothing.
FontAttributes FontAttributesFor(int fontStyle, int fontEffect);

}  // namespace ravelin
