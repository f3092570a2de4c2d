// The top-left part of a PNG read row by row with libpng, for an image mark of which only that
// part can show: the rows below it are never decompressed and the columns beyond it never
// kept, so a huge PNG on a small picture costs what the picture can show.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/marks/mark_pictures.h"

namespace ravelin {
namespace {

// libpng reports its errors by a long jump; nothing with a destructor lives across it.
struct PngRead {
  FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_bytep row = nullptr;
  FIBITMAP* bitmap = nullptr;
};

void Release(PngRead* read, bool keepBitmap) {
  if (read->png != nullptr) png_destroy_read_struct(&read->png, &read->info, nullptr);
  if (read->file != nullptr) std::fclose(read->file);
  std::free(read->row);
  if (!keepBitmap && read->bitmap != nullptr) FreeImage_Unload(read->bitmap);
  delete read;
}

// The console's output is exact: libpng's messages are dropped, its errors only jump back.
void DropWarning(png_structp, png_const_charp) {}
[[noreturn]] void JumpBack(png_structp png, png_const_charp) { png_longjmp(png, 1); }

}  // namespace

FIBITMAP* LoadPngTopLeft(const std::string& path, unsigned maxWidth, unsigned maxHeight, bool* taken) {
  *taken = false;
  // On the heap: a local changed after setjmp would be indeterminate once libpng jumps back.
  PngRead* const record = new PngRead;
  PngRead& read = *record;
  read.file = std::fopen(path.c_str(), "rb");
  if (read.file != nullptr) {
    read.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &JumpBack, &DropWarning);
  }
  if (read.png != nullptr) read.info = png_create_info_struct(read.png);
  if (read.info == nullptr) {
    Release(record, false);
    return nullptr;
  }
  // The error handler's jump lands here.
  if (setjmp(png_jmpbuf(read.png)) != 0) {
    Release(record, false);
    return nullptr;
  }
  png_init_io(read.png, read.file);
  png_read_info(read.png, read.info);
  const png_uint_32 width = png_get_image_width(read.png, read.info);
  const png_uint_32 height = png_get_image_height(read.png, read.info);
  const int colourType = png_get_color_type(read.png, read.info);
  // Only the plain kinds whose rows FreeImage keeps as they are: 8-bit RGB and RGBA, not
  // interlaced, without the chunks that change how colours are read. Others go to FreeImage.
  const bool plain = png_get_bit_depth(read.png, read.info) == 8 &&
                     (colourType == PNG_COLOR_TYPE_RGB || colourType == PNG_COLOR_TYPE_RGB_ALPHA) &&
                     png_get_interlace_type(read.png, read.info) == PNG_INTERLACE_NONE &&
                     png_get_valid(read.png, read.info, PNG_INFO_gAMA | PNG_INFO_sRGB | PNG_INFO_iCCP |
                                                          PNG_INFO_cHRM | PNG_INFO_tRNS | PNG_INFO_sBIT) == 0;
  if (!plain || width == 0 || height == 0) {
    Release(record, false);
    return nullptr;
  }
  *taken = true;
  const unsigned channels = colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 3;
  const unsigned keptWidth = width < maxWidth ? width : maxWidth;
  const unsigned keptHeight = height < maxHeight ? height : maxHeight;
  read.bitmap = FreeImage_Allocate(static_cast<int>(keptWidth), static_cast<int>(keptHeight),
                                   static_cast<int>(channels * 8), FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                   FI_RGBA_BLUE_MASK);
  read.row = static_cast<png_bytep>(std::malloc(png_get_rowbytes(read.png, read.info)));
  if (read.bitmap == nullptr || read.row == nullptr) {
    Release(record, false);
    return nullptr;
  }
  for (unsigned y = 0; y < keptHeight; ++y) {
    png_read_row(read.png, read.row, nullptr);
    // FreeImage keeps the bottom row first, in blue, green, red (and alpha) order.
    BYTE* out = FreeImage_GetScanLine(read.bitmap, static_cast<int>(keptHeight - 1 - y));
    const png_bytep in = read.row;
    for (unsigned x = 0; x < keptWidth; ++x) {
      out[x * channels + FI_RGBA_RED] = in[x * channels];
      out[x * channels + FI_RGBA_GREEN] = in[x * channels + 1];
      out[x * channels + FI_RGBA_BLUE] = in[x * channels + 2];
      if (channels == 4) out[x * channels + FI_RGBA_ALPHA] = in[x * channels + 3];
    }
  }
  FIBITMAP* bitmap = read.bitmap;
  Release(record, true);
  return bitmap;
}

}  // namespace ravelin
