// The checks of the checked BMP loader that allocate no bitmap: the headers alone, run before
// the memory budget decides whether the picture may be loaded at all, and the probe of the
// data, run once the budget has let the picture through.
#include <vector>

#include "engine/bmp/bmp_header.h"
#include "engine/bmp/bmp_loader.h"
#include "engine/bmp/bmp_rows.h"
#include "engine/bmp/bmp_source.h"

namespace ravelin {
namespace {

bool Refuse(BmpLoadError reason, BmpLoadError* error) {
  if (error != nullptr) *error = reason;
  return false;
}

void Describe(const BmpLayout& layout, BmpDimensions* dimensions) {
  dimensions->width = layout.width;
  dimensions->height = layout.height;
  dimensions->bpp = layout.outBpp;
}

}  // namespace

bool ReadCheckedBmpHeader(const std::string& path, BmpDimensions* dimensions, BmpLoadError* error) {
  FileBmpSource source;
  if (!source.Open(path)) return Refuse(BmpLoadError::Unreadable, error);
  BmpLayout layout;
  const BmpLoadError checked = ReadBmpLayout(source, BmpMemoryLimit(), &layout);
  if (checked != BmpLoadError::None) return Refuse(checked, error);
  Describe(layout, dimensions);
  if (error != nullptr) *error = BmpLoadError::None;
  return true;
}

bool ProbeCheckedBmp(const std::string& path, BmpDimensions* dimensions, BmpLoadError* error) {
  FileBmpSource source;
  if (!source.Open(path)) return Refuse(BmpLoadError::Unreadable, error);
  BmpLayout layout;
  const BmpLoadError checked = ReadBmpLayout(source, BmpMemoryLimit(), &layout);
  if (checked != BmpLoadError::None) return Refuse(checked, error);

  if (layout.form == BmpRowForm::Rle8 || layout.form == BmpRowForm::Rle4) {
    // The same decoder the load uses, into one row that is overwritten each time.
    std::unique_ptr<BmpRowReader> rows = MakeBmpRowReader(layout, source);
    std::vector<uint8_t> row(static_cast<size_t>(layout.outPitch));
    for (uint32_t y = 0; y < layout.height; ++y) {
      if (!rows->Produce(y, row.data())) return Refuse(rows->failure(), error);
    }
  }
  Describe(layout, dimensions);
  if (error != nullptr) *error = BmpLoadError::None;
  return true;
}

}  // namespace ravelin
