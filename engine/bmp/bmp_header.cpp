#include "engine/bmp/bmp_header.h"

#include <algorithm>
#include <cstring>

#include "engine/image_limits.h"

namespace ravelin {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitFields = 3;
constexpr uint32_t kBiAlphaBitFields = 6;

constexpr uint64_t kFileHeaderSize = 14;
constexpr uint64_t kPlainInfoSize = 40;
constexpr int32_t kDefaultPelsPerMeter = 2835;  // 72 dpi, for headers that carry none

// The info headers a BMP may carry.
struct HeaderKind {
  uint32_t size;
  bool core;             // 12-byte header: 16-bit width and height, no compression field
  bool os2v2;            // 64-byte header: compressions 3 and 4 mean Huffman and RLE24 there
  int masksInHeader;     // bit-field masks stored inside the header (red, green, blue[, alpha])
  int paletteEntrySize;
};
constexpr HeaderKind kHeaderKinds[] = {
    {12, true, false, 0, 3},   {40, false, false, 0, 4},  {52, false, false, 3, 4},
    {56, false, false, 4, 4},  {64, false, true, 0, 4},   {108, false, false, 4, 4},
    {124, false, false, 4, 4},
};

// The depths and the compressions each may use.
struct CompressionRule {
  uint32_t compression;
  uint16_t bpp;
};
constexpr CompressionRule kCompressionRules[] = {
    {kBiRgb, 1},        {kBiRgb, 4},        {kBiRgb, 8},           {kBiRgb, 16},
    {kBiRgb, 24},       {kBiRgb, 32},       {kBiRle8, 8},          {kBiRle4, 4},
    {kBiBitFields, 16}, {kBiBitFields, 32}, {kBiAlphaBitFields, 16}, {kBiAlphaBitFields, 32},
};
constexpr uint16_t kDepths[] = {1, 4, 8, 16, 24, 32};

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>* out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Bytes per row, padded to 32 bits as both the file and FreeImage store them.
uint64_t PaddedPitch(uint64_t width, uint64_t bpp) { return (width * bpp + 31) / 32 * 4; }

const HeaderKind* FindHeaderKind(uint32_t size) {
  for (const HeaderKind& kind : kHeaderKinds) {
    if (kind.size == size) return &kind;
  }
  return nullptr;
}

bool CompressionFits(uint32_t compression, uint16_t bpp) {
  return std::any_of(std::begin(kCompressionRules), std::end(kCompressionRules),
                     [&](const CompressionRule& r) { return r.compression == compression && r.bpp == bpp; });
}

// A mask is usable when it is one run of set bits inside the pixel.
bool MakeChannel(uint32_t mask, uint16_t bpp, BmpChannel* channel) {
  if (mask == 0) return false;
  if (bpp == 16 && (mask & 0xFFFF0000u) != 0) return false;
  const int shift = __builtin_ctz(mask);
  const uint64_t run = static_cast<uint64_t>(mask) >> shift;
  if ((run & (run + 1)) != 0) return false;
  channel->mask = mask;
  channel->shift = shift;
  channel->bits = __builtin_popcountll(run);
  return true;
}

BmpLoadError ReadMasks(const uint8_t* masks, bool withAlpha, uint16_t bpp, BmpLayout* layout) {
  const uint32_t red = Get32(masks), green = Get32(masks + 4), blue = Get32(masks + 8);
  const uint32_t alpha = withAlpha ? Get32(masks + 12) : 0;
  if (!MakeChannel(red, bpp, &layout->red) || !MakeChannel(green, bpp, &layout->green) ||
      !MakeChannel(blue, bpp, &layout->blue)) {
    return BmpLoadError::BadMasks;
  }
  layout->alpha = BmpChannel{};
  if (alpha != 0 && !MakeChannel(alpha, bpp, &layout->alpha)) return BmpLoadError::BadMasks;
  if ((red & green) || (red & blue) || (green & blue) || ((red | green | blue) & alpha)) {
    return BmpLoadError::BadMasks;
  }
  return BmpLoadError::None;
}

// Chooses how rows reach FreeImage. Every 16-bit layout is widened here to 8 bits a channel,
// rounded to the nearest: FreeImage's own 5-5-5 and 5-6-5 conversions truncate, and a value
// must decode the same whatever masks the file names. FreeImage 3.18 ignores 32-bit masks
// altogether, so those are expanded as well.
void PlanRows(uint32_t compression, BmpLayout* layout) {
  layout->outBpp = layout->bpp;
  if (compression == kBiRle8) {
    layout->form = BmpRowForm::Rle8;
  } else if (compression == kBiRle4) {
    layout->form = BmpRowForm::Rle4;
  } else if (compression == kBiRgb && layout->bpp == 16) {
    // A 16-bit BI_RGB pixel is 5-5-5 whatever masks a larger header carries.
    MakeChannel(0x7C00, 16, &layout->red);
    MakeChannel(0x03E0, 16, &layout->green);
    MakeChannel(0x001F, 16, &layout->blue);
    layout->alpha = BmpChannel{};
    layout->form = BmpRowForm::Masked;
    layout->outBpp = 24;
  } else if (compression == kBiRgb) {
    layout->form = BmpRowForm::Copy;
    layout->zeroAlphaMeansOpaque = layout->bpp == 32;
  } else {
    const bool noAlpha = layout->alpha.mask == 0;
    layout->form = BmpRowForm::Masked;
    layout->outBpp = (layout->bpp == 32 || !noAlpha) ? 32 : 24;
  }
}

}  // namespace

uint64_t BmpMemoryLimit() {
  // FreeImage reads all rows with one read whose size is a 32-bit count.
  constexpr uint64_t kReadLimit = 0x7FFFFFFF;
  return std::min<uint64_t>(UsableMemoryBytes(), kReadLimit);
}

BmpLoadError ReadBmpLayout(BmpSource& source, uint64_t memoryLimit, BmpLayout* layout) {
  *layout = BmpLayout{};
  layout->fileSize = source.Size();
  const uint64_t fileSize = layout->fileSize;

  uint8_t head[kFileHeaderSize + 124 + 16] = {};
  const size_t got = source.ReadAt(0, head, sizeof(head));
  if (got < 2 || head[0] != 'B' || head[1] != 'M') return BmpLoadError::NotBmp;
  if (got < kFileHeaderSize + 4) return BmpLoadError::Truncated;

  const uint8_t* info = head + kFileHeaderSize;
  const HeaderKind* kind = FindHeaderKind(Get32(info));
  if (kind == nullptr) return BmpLoadError::UnsupportedHeader;
  if (got < kFileHeaderSize + kind->size) return BmpLoadError::Truncated;

  int64_t width = 0, height = 0;
  uint16_t planes = 0;
  uint32_t compression = kBiRgb, colorsUsed = 0;
  if (kind->core) {
    width = Get16(info + 4);
    height = Get16(info + 6);
    planes = Get16(info + 8);
    layout->bpp = Get16(info + 10);
    layout->xPelsPerMeter = layout->yPelsPerMeter = kDefaultPelsPerMeter;
  } else {
    width = static_cast<int32_t>(Get32(info + 4));
    height = static_cast<int32_t>(Get32(info + 8));
    planes = Get16(info + 12);
    layout->bpp = Get16(info + 14);
    compression = Get32(info + 16);
    layout->xPelsPerMeter = static_cast<int32_t>(Get32(info + 24));
    layout->yPelsPerMeter = static_cast<int32_t>(Get32(info + 28));
    colorsUsed = Get32(info + 32);
  }
  if (planes != 1) return BmpLoadError::UnsupportedHeader;
  if (std::find(std::begin(kDepths), std::end(kDepths), layout->bpp) == std::end(kDepths)) {
    return BmpLoadError::BadCompression;
  }
  if (width <= 0 || height == 0 || height == INT32_MIN) return BmpLoadError::BadDimensions;
  layout->topDown = height < 0;
  layout->width = static_cast<uint32_t>(width);
  layout->height = static_cast<uint32_t>(height < 0 ? -height : height);

  const bool rle = compression == kBiRle8 || compression == kBiRle4;
  const bool bitFields = compression == kBiBitFields || compression == kBiAlphaBitFields;
  if (kind->os2v2 && compression > kBiRle4) return BmpLoadError::BadCompression;
  if (!CompressionFits(compression, layout->bpp)) return BmpLoadError::BadCompression;
  if (rle && layout->topDown) return BmpLoadError::BadCompression;

  // Masks live inside the larger headers, or follow the 40-byte one.
  uint64_t headEnd = kFileHeaderSize + kind->size;
  if (bitFields) {
    uint8_t masks[16] = {};
    bool withAlpha = false;
    if (kind->masksInHeader > 0) {
      std::memcpy(masks, info + 40, static_cast<size_t>(kind->masksInHeader) * 4);
      withAlpha = kind->masksInHeader == 4;
    } else {
      const size_t count = compression == kBiAlphaBitFields ? 4 : 3;
      if (source.ReadAt(headEnd, masks, count * 4) != count * 4) return BmpLoadError::Truncated;
      headEnd += count * 4;
      withAlpha = count == 4;
    }
    const BmpLoadError masksError = ReadMasks(masks, withAlpha, layout->bpp, layout);
    if (masksError != BmpLoadError::None) return masksError;
  }

  layout->dataOffset = Get32(head + 10);
  if (layout->dataOffset < headEnd || layout->dataOffset >= fileSize) return BmpLoadError::Truncated;

  if (layout->bpp <= 8) {
    const uint64_t entrySize = static_cast<uint64_t>(kind->paletteEntrySize);
    const uint32_t maxEntries = 1u << layout->bpp;
    if (colorsUsed > maxEntries) return BmpLoadError::BadPalette;
    uint64_t count = colorsUsed != 0 ? colorsUsed : maxEntries;
    // Without a count the palette is as large as the depth allows, but some writers store a
    // shorter one: it ends where the pixels begin.
    if (colorsUsed == 0) count = std::min<uint64_t>(count, (layout->dataOffset - headEnd) / entrySize);
    if (count == 0 || headEnd + count * entrySize > fileSize) return BmpLoadError::BadPalette;
    std::vector<uint8_t> raw(static_cast<size_t>(count * entrySize));
    if (source.ReadAt(headEnd, raw.data(), raw.size()) != raw.size()) return BmpLoadError::Unreadable;
    layout->palette.assign(static_cast<size_t>(count * 4), 0);
    for (uint64_t i = 0; i < count; ++i) {
      std::memcpy(&layout->palette[i * 4], &raw[i * entrySize], static_cast<size_t>(entrySize));
    }
  }

  PlanRows(compression, layout);
  layout->sourceLine = (static_cast<uint64_t>(layout->width) * layout->bpp + 7) / 8;
  layout->sourcePitch = PaddedPitch(layout->width, layout->bpp);
  layout->outPitch = PaddedPitch(layout->width, layout->outBpp);
  uint64_t outBytes = 0;
  if (!MulSize(layout->outPitch, layout->height, &outBytes)) return BmpLoadError::TooLarge;
  // The reading's own buffers come on top of the bitmap: the row handed to FreeImage and the
  // probe's row, and for RLE the decoder's row of one index per pixel and its input chunk.
  uint64_t buffers = 0;
  if (!MulSize(layout->outPitch, 2, &buffers) ||
      (rle && (!AddSize(buffers, layout->width, &buffers) ||
               !AddSize(buffers, kRleChunkBytes, &buffers))) ||
      !AddSize(outBytes, buffers, &outBytes) || outBytes > memoryLimit) {
    return BmpLoadError::TooLarge;
  }

  if (!rle) {
    // Every row's pixels must be in the file; only the padding of the last row may be missing.
    uint64_t before = 0;
    if (!MulSize(layout->sourcePitch, layout->height - 1, &before) ||
        before + layout->sourceLine > fileSize - layout->dataOffset) {
      return BmpLoadError::Truncated;
    }
  }
  return BmpLoadError::None;
}

std::vector<uint8_t> BuildPlainBmpHead(const BmpLayout& layout) {
  const uint32_t paletteBytes = static_cast<uint32_t>(layout.palette.size());
  const uint32_t offBits = static_cast<uint32_t>(kFileHeaderSize + kPlainInfoSize) + paletteBytes;
  const uint32_t imageBytes = static_cast<uint32_t>(layout.outPitch * layout.height);

  std::vector<uint8_t> head;
  head.reserve(offBits);
  head.push_back('B');
  head.push_back('M');
  Put32(&head, offBits + imageBytes);
  Put32(&head, 0);
  Put32(&head, offBits);
  Put32(&head, kPlainInfoSize);
  Put32(&head, layout.width);
  Put32(&head, layout.height);  // bottom-up: top-down files are reordered by the row reader
  Put16(&head, 1);
  Put16(&head, layout.outBpp);
  Put32(&head, kBiRgb);
  Put32(&head, imageBytes);
  Put32(&head, static_cast<uint32_t>(layout.xPelsPerMeter));
  Put32(&head, static_cast<uint32_t>(layout.yPelsPerMeter));
  Put32(&head, paletteBytes / 4);
  Put32(&head, 0);
  head.insert(head.end(), layout.palette.begin(), layout.palette.end());
  return head;
}

}  // namespace ravelin
