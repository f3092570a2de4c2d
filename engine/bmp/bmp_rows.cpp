#include "engine/bmp/bmp_rows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/work_bands.h"

namespace ravelin {
namespace {

// Rows a thread of the loader copies at once: large reads, and several per thread.
constexpr uint64_t kLoadBandBytes = uint64_t{4} << 20;

uint32_t LoadPixel(const uint8_t* p, uint16_t bpp) {
  if (bpp == 16) return static_cast<uint32_t>(p[0] | (p[1] << 8));
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A channel's value scaled to 8 bits, rounded to the nearest.
uint8_t Expand(uint32_t pixel, const BmpChannel& channel) {
  const uint64_t max = (uint64_t{1} << channel.bits) - 1;
  const uint64_t value = (pixel & channel.mask) >> channel.shift;
  return static_cast<uint8_t>((value * 255 + max / 2) / max);
}

// Expand for one channel, looked up for channels of up to 8 bits (every usual bit-field
// layout), so the division runs once per value instead of once per pixel.
class ChannelExpander {
 public:
  explicit ChannelExpander(const BmpChannel& channel) : channel_(channel) {
    table_ = channel.bits > 0 && channel.bits <= 8;
    if (!table_) return;
    for (uint32_t value = 0; value < (uint32_t{1} << channel.bits); ++value) {
      values_[value] = Expand(value << channel.shift, channel);
    }
  }
  uint8_t operator()(uint32_t pixel) const { return table_ ? lookup(pixel) : Expand(pixel, channel_); }
  bool looked_up() const { return table_; }
  // Only when looked_up().
  uint8_t lookup(uint32_t pixel) const { return values_[(pixel & mask_) >> shift_]; }

 private:
  BmpChannel channel_;
  uint32_t mask_ = channel_.mask;
  uint32_t shift_ = static_cast<uint32_t>(channel_.shift);
  bool table_ = false;
  uint8_t values_[256] = {};
};

// Uncompressed rows: read from the file at their offset (top-down files in reverse), copied or
// expanded from bit fields.
class PlainRowReader final : public BmpRowReader {
 public:
  PlainRowReader(const BmpLayout& layout, BmpSource& source)
      : layout_(layout), source_(source), line_(static_cast<size_t>(layout.sourcePitch)),
        red_(layout.red), green_(layout.green), blue_(layout.blue), alpha_(layout.alpha) {}

  // A bottom-up file whose rows are already FreeImage's: its rows are one block of the file,
  // read straight into place on every usable core. Rows a read did not fill (a file cut
  // short since the checks) are made the careful way, which tells the failure.
  bool ProduceRows(uint32_t first, uint32_t count, uint64_t pitch, uint8_t* out) override {
    if (layout_.form != BmpRowForm::Copy || layout_.topDown || layout_.sourcePitch != pitch) {
      return BmpRowReader::ProduceRows(first, count, pitch, out);
    }
    const uint32_t rows = static_cast<uint32_t>(std::clamp<uint64_t>(kLoadBandBytes / pitch, 1, count));
    const uint32_t bands = (count + rows - 1) / rows;
    std::vector<char> whole(bands, 0);
    RunBands(bands, bands > 1 ? BandWorkers() : 1, [&](unsigned band) {
      const uint32_t from = band * rows;
      const uint32_t n = std::min(count - from, rows);
      const uint64_t bytes = n * pitch;
      const uint64_t offset = layout_.dataOffset + (uint64_t{first} + from) * pitch;
      whole[band] = source_.ReadBlock(offset, out + from * pitch, static_cast<size_t>(bytes)) == bytes;
      return true;
    });
    for (uint32_t band = 0; band < bands; ++band) {
      const uint32_t from = band * rows;
      if (!whole[band] &&
          !BmpRowReader::ProduceRows(first + from, std::min(count - from, rows), pitch, out + from * pitch)) {
        return false;
      }
    }
    return true;
  }

  bool Produce(uint32_t row, uint8_t* out) override {
    const uint32_t fileRow = layout_.topDown ? layout_.height - 1 - row : row;
    const uint64_t offset = layout_.dataOffset + static_cast<uint64_t>(fileRow) * layout_.sourcePitch;
    const size_t got = source_.ReadAt(offset, line_.data(), line_.size());
    if (got < layout_.sourceLine) {
      failure_ = BmpLoadError::Unreadable;  // the checks saw these bytes: the file changed
      return false;
    }
    std::fill(line_.begin() + static_cast<std::ptrdiff_t>(got), line_.end(), 0);
    if (layout_.form == BmpRowForm::Copy) {
      std::memcpy(out, line_.data(), static_cast<size_t>(layout_.outPitch));
      return true;
    }
    const size_t inStep = layout_.bpp / 8;
    const size_t outStep = layout_.outBpp / 8;
    const bool hasAlpha = layout_.alpha.mask != 0;
    std::memset(out, 0, static_cast<size_t>(layout_.outPitch));
    const bool hasAlphaTable = !hasAlpha || alpha_.looked_up();
    if (red_.looked_up() && green_.looked_up() && blue_.looked_up() && hasAlphaTable) {
      if (outStep == 4) {
        ExpandRow<4>(out, hasAlpha);
      } else {
        ExpandRow<3>(out, hasAlpha);
      }
      return true;
    }
    for (uint32_t x = 0; x < layout_.width; ++x) {
      const uint32_t pixel = LoadPixel(&line_[x * inStep], layout_.bpp);
      uint8_t* q = out + static_cast<size_t>(x) * outStep;
      q[FI_RGBA_BLUE] = blue_(pixel);
      q[FI_RGBA_GREEN] = green_(pixel);
      q[FI_RGBA_RED] = red_(pixel);
      if (outStep == 4) q[FI_RGBA_ALPHA] = hasAlpha ? alpha_(pixel) : 255;
    }
    return true;
  }

 private:
  // The row through the channels' tables, `OutStep` bytes a pixel. The tables are copied
  // first: the stores into the row cannot touch the copies, so the loop keeps them in place.
  template <size_t OutStep>
  void ExpandRow(uint8_t* out, bool hasAlpha) const {
    const ChannelExpander red = red_, green = green_, blue = blue_, alpha = alpha_;
    const size_t inStep = layout_.bpp / 8;
    const uint8_t* in = line_.data();
    const uint32_t width = layout_.width;
    const auto pixels = [&](auto load) {
      for (uint32_t x = 0; x < width; ++x) {
        const uint32_t pixel = load(in + x * inStep);
        uint8_t bgra[4];
        bgra[FI_RGBA_BLUE] = blue.lookup(pixel);
        bgra[FI_RGBA_GREEN] = green.lookup(pixel);
        bgra[FI_RGBA_RED] = red.lookup(pixel);
        bgra[FI_RGBA_ALPHA] = hasAlpha ? alpha.lookup(pixel) : 255;
        std::memcpy(out + x * OutStep, bgra, OutStep);
      }
    };
    if (inStep == 2) {
      pixels([](const uint8_t* p) { return LoadPixel(p, 16); });
    } else {
      pixels([](const uint8_t* p) { return LoadPixel(p, 32); });
    }
  }

  const BmpLayout& layout_;
  BmpSource& source_;
  std::vector<uint8_t> line_;
  const ChannelExpander red_, green_, blue_, alpha_;
};

// RLE4 and RLE8 decoded row by row as the rows are asked for, so no decoded copy of the
// picture is kept. Runs past the row's end and deltas past the picture are clipped; pixels
// never set are index 0; the picture ends at the end-of-bitmap code, or once every row is
// complete (so files whose last row ends with end-of-line, and those without end-of-bitmap,
// load). Data that stops before the picture is complete is refused.
class RleRowReader final : public BmpRowReader {
 public:
  RleRowReader(const BmpLayout& layout, BmpSource& source)
      : layout_(layout), source_(source), line_(layout.width, 0), position_(layout.dataOffset) {}

  bool Produce(uint32_t row, uint8_t* out) override {
    if (row != emitted_) {
      failure_ = BmpLoadError::DecodeFailed;
      return false;
    }
    while (!ended_ && row_ == emitted_) {
      if (!Step()) return false;
    }
    Pack(out);
    std::fill(line_.begin(), line_.end(), 0);
    ++emitted_;
    return true;
  }

 private:
  bool four() const { return layout_.form == BmpRowForm::Rle4; }

  bool Next(uint8_t* byte) {
    if (chunkAt_ == chunkEnd_) {
      if (position_ >= layout_.fileSize) return false;
      const size_t wanted = static_cast<size_t>(std::min<uint64_t>(sizeof(chunk_), layout_.fileSize - position_));
      const size_t got = source_.ReadAt(position_, chunk_, wanted);
      if (got == 0) return false;
      position_ += got;
      chunkAt_ = 0;
      chunkEnd_ = got;
    }
    *byte = chunk_[chunkAt_++];
    return true;
  }

  // The data ran out: acceptable only when the last row is complete.
  bool DataEnded() {
    if (row_ + 1 == layout_.height && col_ >= layout_.width) {
      ended_ = true;
      return true;
    }
    failure_ = BmpLoadError::Truncated;
    return false;
  }

  void Put(uint8_t index) {
    if (col_ < layout_.width) line_[static_cast<size_t>(col_)] = index;
    ++col_;
  }

  bool Step() {
    uint8_t count = 0, value = 0;
    if (!Next(&count) || !Next(&value)) return DataEnded();
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) {
        Put(four() ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
      }
      return true;
    }
    switch (value) {
      case 0:  // end of line
        ++row_;
        col_ = 0;
        return true;
      case 1:  // end of bitmap
        ended_ = true;
        return true;
      case 2: {  // delta: right and up
        uint8_t dx = 0, dy = 0;
        if (!Next(&dx) || !Next(&dy)) return DataEnded();
        col_ += dx;
        row_ += dy;
        return true;
      }
      default: {  // absolute run of `value` pixels, padded to an even number of bytes
        const unsigned pixels = value;
        const unsigned bytes = four() ? (pixels + 1) / 2 : pixels;
        uint8_t byte = 0;
        for (unsigned i = 0; i < pixels; ++i) {
          if (!four() || (i & 1) == 0) {
            if (!Next(&byte)) return DataEnded();
          }
          Put(four() ? ((i & 1) ? (byte & 0x0F) : (byte >> 4)) : byte);
        }
        if ((bytes & 1) != 0 && !Next(&byte)) return DataEnded();
        return true;
      }
    }
  }

  void Pack(uint8_t* out) {
    std::memset(out, 0, static_cast<size_t>(layout_.outPitch));
    if (!four()) {
      std::memcpy(out, line_.data(), line_.size());
      return;
    }
    for (size_t x = 0; x < line_.size(); ++x) {
      out[x / 2] |= static_cast<uint8_t>((x & 1) ? (line_[x] & 0x0F) : (line_[x] << 4));
    }
  }

  const BmpLayout& layout_;
  BmpSource& source_;
  std::vector<uint8_t> line_;  // one index per pixel of the row being filled
  uint64_t position_;          // next file byte to buffer
  uint8_t chunk_[kRleChunkBytes];
  size_t chunkAt_ = 0;
  size_t chunkEnd_ = 0;
  uint64_t row_ = 0;  // row the next pixel goes to, counted from the bottom
  uint64_t col_ = 0;
  uint32_t emitted_ = 0;
  bool ended_ = false;
};

}  // namespace

bool BmpRowReader::ProduceRows(uint32_t first, uint32_t count, uint64_t pitch, uint8_t* out) {
  for (uint32_t row = 0; row < count; ++row) {
    if (!Produce(first + row, out + row * pitch)) return false;
  }
  return true;
}

std::unique_ptr<BmpRowReader> MakeBmpRowReader(const BmpLayout& layout, BmpSource& source) {
  if (layout.form == BmpRowForm::Rle8 || layout.form == BmpRowForm::Rle4) {
    return std::make_unique<RleRowReader>(layout, source);
  }
  return std::make_unique<PlainRowReader>(layout, source);
}

BmpVirtualStream::BmpVirtualStream(std::vector<uint8_t> head, const BmpLayout& layout, BmpRowReader* rows)
    : head_(std::move(head)),
      pitch_(layout.outPitch),
      total_(head_.size() + layout.outPitch * layout.height),
      row_(static_cast<size_t>(layout.outPitch)),
      rows_(rows) {}

FreeImageIO BmpVirtualStream::Io() {
  FreeImageIO io{};
  io.read_proc = &BmpVirtualStream::ReadProc;
  io.write_proc = nullptr;
  io.seek_proc = &BmpVirtualStream::SeekProc;
  io.tell_proc = &BmpVirtualStream::TellProc;
  return io;
}

size_t BmpVirtualStream::Read(uint8_t* out, size_t wanted) {
  size_t copied = 0;
  while (copied < wanted && position_ < total_) {
    size_t part = 0;
    if (position_ < head_.size()) {
      part = std::min<size_t>(wanted - copied, head_.size() - static_cast<size_t>(position_));
      std::memcpy(out + copied, head_.data() + position_, part);
    } else {
      const uint64_t inRows = position_ - head_.size();
      const int64_t index = static_cast<int64_t>(inRows / pitch_);
      const size_t within = static_cast<size_t>(inRows % pitch_);
      const uint64_t wholeRows = std::min<uint64_t>((wanted - copied) / pitch_, (total_ - position_) / pitch_);
      if (within == 0 && wholeRows > 0) {
        // Whole rows go straight into FreeImage's buffer.
        if (failure_ != BmpLoadError::None) break;
        if (!rows_->ProduceRows(static_cast<uint32_t>(index), static_cast<uint32_t>(wholeRows), pitch_,
                                out + copied)) {
          failure_ = rows_->failure();
          break;
        }
        rowIndex_ = -1;
        copied += static_cast<size_t>(wholeRows * pitch_);
        position_ += wholeRows * pitch_;
        continue;
      }
      if (index != rowIndex_) {
        if (failure_ != BmpLoadError::None) break;
        if (!rows_->Produce(static_cast<uint32_t>(index), row_.data())) {
          failure_ = rows_->failure();
          break;
        }
        rowIndex_ = index;
      }
      part = std::min<size_t>(wanted - copied, static_cast<size_t>(pitch_) - within);
      std::memcpy(out + copied, row_.data() + within, part);
    }
    copied += part;
    position_ += part;
  }
  return copied;
}

unsigned DLL_CALLCONV BmpVirtualStream::ReadProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  auto* stream = static_cast<BmpVirtualStream*>(handle);
  if (size == 0 || count == 0) return 0;
  const uint64_t wanted = static_cast<uint64_t>(size) * count;
  const size_t copied = stream->Read(static_cast<uint8_t*>(buffer), static_cast<size_t>(wanted));
  return static_cast<unsigned>(copied / size);
}

int DLL_CALLCONV BmpVirtualStream::SeekProc(fi_handle handle, long offset, int origin) {
  auto* stream = static_cast<BmpVirtualStream*>(handle);
  int64_t base = 0;
  if (origin == SEEK_CUR) base = static_cast<int64_t>(stream->position_);
  else if (origin == SEEK_END) base = static_cast<int64_t>(stream->total_);
  else if (origin != SEEK_SET) return -1;
  const int64_t target = base + offset;
  if (target < 0) return -1;
  stream->position_ = static_cast<uint64_t>(target);
  return 0;
}

long DLL_CALLCONV BmpVirtualStream::TellProc(fi_handle handle) {
  return static_cast<long>(static_cast<BmpVirtualStream*>(handle)->position_);
}

}  // namespace ravelin
