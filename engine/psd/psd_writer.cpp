#include "engine/psd/psd_writer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <IL/il.h>

#include "engine/image_limits.h"
#include "engine/memory_budget_heap.h"
#include "engine/work_bands.h"
#include "platform/files.h"
#include "platform/session_end.h"
#include "platform/temp_files.h"

namespace ravelin {
namespace {

// 26-byte header, the colour-mode, image-resource and layer sections (a zero length each),
// and the compression word before the planes.
constexpr uint64_t kPsdOverhead = 26 + 4 + 4 + 4 + 2;

// Owns one DevIL image name for the length of a save.
class DevilImage {
 public:
  DevilImage() {
    ilGenImages(1, &name_);
    ilBindImage(name_);
  }
  ~DevilImage() { ilDeleteImages(1, &name_); }
  DevilImage(const DevilImage&) = delete;
  DevilImage& operator=(const DevilImage&) = delete;

 private:
  ILuint name_ = 0;
};

// The file DevIL writes into. DevIL's PSD saver emits the planes one byte per call; its
// default output is a locking fputc per byte, so the bytes are gathered here and go to the
// file in large writes. The buffer has two halves: for a large file, while DevIL fills one, a
// writer thread copies the other into the file, so the copy into the kernel's cache runs
// beside the byte loop on another core. DevIL 1.7.8 ignores failed writes, so the writer keeps the first
// failure itself.
// The writer thread also starts the disk write of what it has written. Replacing an existing
// output makes the file system push the whole new file to the disk at the rename; begun here,
// that work runs beside the byte loop instead of after it.
class BufferedOutput {
 public:
  BufferedOutput() = default;
  ~BufferedOutput() {
    StopWriter();
    if (fd_ >= 0) ::close(fd_);
  }
  BufferedOutput(const BufferedOutput&) = delete;
  BufferedOutput& operator=(const BufferedOutput&) = delete;

  // A new registered temporary file; false with errno when it cannot be made.
  bool Create(const std::string& path) {
    fd_ = CreateTempFile(path);
    return fd_ >= 0;
  }

  // The permission bits of the file being replaced go to the new one, so an output the user
  // made private stays private.
  void KeepPermissionsOf(const std::string& outputPath) {
    struct stat old;
    if (::stat(outputPath.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd_, old.st_mode & 0777);
  }

  void Append(const uint8_t* data, size_t count) {
    if (count >= kHalf) {
      Flush();
      Drain();
      WriteOut(data, count);
      offset_ += static_cast<int64_t>(count);
      return;
    }
    while (count > 0) {
      if (next_ == end_) Flush();
      const size_t part = std::min(count, static_cast<size_t>(end_ - next_));
      std::memcpy(next_, data, part);
      next_ += part;
      data += part;
      count -= part;
    }
  }

  // Writes what is buffered and closes the file; false when any write failed.
  bool Finish() {
    if (fd_ < 0) return !failed_;
    Flush();
    StopWriter();
    if (fd_ >= 0 && ::close(fd_) != 0) failed_ = true;
    fd_ = -1;
    return !failed_;
  }

  // DevIL's output functions; the handle is the BufferedOutput.
  static void Install() { ilSetWrite(nullptr, nullptr, &Putc, &Seek, &Tell, &Write); }

 private:
  // Large enough that the write calls cost nothing beside the copying, small enough that a
  // small picture does not fault in pages it never fills.
  static constexpr size_t kCapacity = size_t{256} << 10;
  static constexpr size_t kHalf = kCapacity / 2;
  // A small file is written by DevIL's thread alone: a thread of its own would cost more than
  // the copying it takes over.
  static constexpr int64_t kWrittenBeforeThread = int64_t{4} << 20;
  // How much the writer thread writes before it starts the disk write of it: large pieces, so
  // the disk gets large requests.
  static constexpr int64_t kWriteBackStep = int64_t{8} << 20;

  // Called by the writer thread, or by DevIL's thread while the writer is idle.
  void WriteOut(const uint8_t* data, size_t count) {
    // An ending session stops the save here; the rest of DevIL's bytes only fill the buffer.
    if (SessionEnding()) failed_ = true;
    size_t done = 0;
    while (done < count && !failed_) {
      const ssize_t wrote = ::write(fd_, data + done, count - done);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) failed_ = true;
      else done += static_cast<size_t>(wrote);
    }
  }

  uint8_t* half(int which) const { return buffer_.get() + static_cast<size_t>(which) * kHalf; }
  size_t used() const { return static_cast<size_t>(next_ - half(current_)); }

  // Hands the filled half to the writer and goes on in the other one; the buffer itself is
  // made on first use.
  void Flush() {
    if (buffer_ == nullptr) {
      buffer_.reset(new uint8_t[kCapacity]);
      MapFreshMemory(buffer_.get(), kCapacity);
      current_ = 0;
    } else if (used() > 0) {
      Submit(half(current_), used());
      current_ = 1 - current_;
    }
    next_ = half(current_);
    end_ = next_ + kHalf;
  }

  // Waits until the writer has written what it holds, then gives it `data`, which it owns
  // until the next Submit or Drain returns. Without a thread the bytes are written here.
  void Submit(const uint8_t* data, size_t count) {
    offset_ += static_cast<int64_t>(count);
    if (!writerStarted_ && (offset_ <= kWrittenBeforeThread || !StartWriter())) return WriteOut(data, count);
    std::unique_lock<std::mutex> lock(mutex_);
    handed_.wait(lock, [&] { return pending_ == nullptr; });
    pending_ = data;
    pendingCount_ = count;
    pendingOffset_ = offset_ - static_cast<int64_t>(count);
    handed_.notify_all();
  }

  // Returns once nothing is waiting to be written.
  void Drain() {
    if (!writer_.joinable()) return;
    std::unique_lock<std::mutex> lock(mutex_);
    handed_.wait(lock, [&] { return pending_ == nullptr; });
  }

  bool StartWriter() {
    writerStarted_ = true;
    try {
      writer_ = std::thread([this] { WriterLoop(); });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

  // Writes what is left and ends the writer thread.
  void StopWriter() {
    if (!writer_.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    handed_.notify_all();
    writer_.join();
  }

  void WriterLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      handed_.wait(lock, [&] { return pending_ != nullptr || stopping_; });
      if (pending_ == nullptr) return;
      const uint8_t* data = pending_;
      const size_t count = pendingCount_;
      const int64_t end = pendingOffset_ + static_cast<int64_t>(count);
      lock.unlock();
      WriteOut(data, count);
      StartWriteBack(end);
      lock.lock();
      pending_ = nullptr;
      handed_.notify_all();
    }
  }

  // Asks the kernel to begin writing what lies between the last start and `end` to the disk,
  // once that is a step's worth; it returns without waiting for the disk. A hint: the file
  // system may ignore it, and a failed write is caught by write() and close().
  void StartWriteBack(int64_t end) {
    if (end - writeBackFrom_ < kWriteBackStep || failed_) return;
    ::sync_file_range(fd_, writeBackFrom_, end - writeBackFrom_, SYNC_FILE_RANGE_WRITE);
    writeBackFrom_ = end;
  }

  // The full-buffer case of Putc, out of line and taking Putc's own arguments, so Putc reaches
  // it by a plain jump.
  [[gnu::noinline]] static ILint ILAPIENTRY FlushAndPut(ILubyte byte, ILHANDLE handle) {
    BufferedOutput* out = Of(handle);
    out->Flush();
    *out->next_++ = byte;
    return byte;
  }

  static BufferedOutput* Of(ILHANDLE handle) { return static_cast<BufferedOutput*>(handle); }

  // DevIL's PSD saver calls this for every byte of the planes, through two indirect calls of
  // its own: the one check left is whether the buffer is full.
  static ILint ILAPIENTRY Putc(ILubyte byte, ILHANDLE handle) {
    BufferedOutput* out = Of(handle);
    uint8_t* next = out->next_;
    if (__builtin_expect(next == out->end_, 0)) return FlushAndPut(byte, handle);
    *next = byte;
    out->next_ = next + 1;
    return byte;
  }
  static ILint ILAPIENTRY Write(const void* data, ILuint size, ILuint count, ILHANDLE handle) {
    size_t bytes = 0;
    if (!MulSize(size, count, &bytes)) return 0;
    Of(handle)->Append(static_cast<const uint8_t*>(data), bytes);
    return static_cast<ILint>(count);
  }
  // The PSD saver never seeks; a seek within what was written moves the file position.
  static ILint ILAPIENTRY Seek(ILHANDLE handle, ILint offset, ILint origin) {
    BufferedOutput* out = Of(handle);
    out->Flush();
    out->Drain();
    if (out->failed_) return -1;
    const off_t moved = ::lseek(out->fd_, offset, origin);
    if (moved < 0) return -1;
    out->offset_ = moved;
    return 0;
  }
  static ILint ILAPIENTRY Tell(ILHANDLE handle) {
    const BufferedOutput* out = Of(handle);
    return static_cast<ILint>(out->offset_ + static_cast<int64_t>(out->used()));
  }

  // DevIL's side.
  std::unique_ptr<uint8_t[]> buffer_;
  int current_ = 0;          // the half being filled
  uint8_t* next_ = nullptr;  // where the next byte goes
  uint8_t* end_ = nullptr;   // end of the half; equal to next_ before first use
  int64_t offset_ = 0;       // file position of the current half's first byte
  int fd_ = -1;
  bool writerStarted_ = false;

  // Shared with the writer thread.
  std::thread writer_;
  std::mutex mutex_;
  std::condition_variable handed_;
  const uint8_t* pending_ = nullptr;  // a half given to the writer and not yet written
  size_t pendingCount_ = 0;
  int64_t pendingOffset_ = 0;  // its place in the file
  int64_t writeBackFrom_ = 0;  // the writer thread's own: where the disk write was last started
  bool stopping_ = false;
  std::atomic<bool> failed_{false};
};

// DevIL's default output comes back whatever way the save ends.
struct DefaultOutputOnExit {
  ~DefaultOutputOnExit() { ilResetWrite(); }
};

// FreeImage keeps pixels as blue, green, red (and alpha) in memory; DevIL's buffer wants red,
// green, blue, alpha. Read as little-endian words the change is a byte swap.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ && FI_RGBA_BLUE == 0 && FI_RGBA_GREEN == 1 &&
                  FI_RGBA_RED == 2 && FI_RGBA_ALPHA == 3,
              "the row widening reads FreeImage's pixels as little-endian BGRA words");

// A pixel as DevIL's buffer holds it: red, green, blue, alpha in memory order.
inline uint32_t PackRgba(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) {
  return red | (green << 8) | (blue << 16) | (alpha << 24);
}

inline uint32_t LoadWord(const uint8_t* p) {
  uint32_t word;
  std::memcpy(&word, p, 4);
  return word;
}

inline void StoreWord(uint8_t* p, uint32_t word) { std::memcpy(p, &word, 4); }

constexpr uint32_t kAlphaByte = 0xFF000000u;

// One 32-bit row from FreeImage's channel order to red, green, blue, alpha; `in` may be `out`.
void Row32ToRgba(const uint8_t* in, uint8_t* out, unsigned width) {
  for (unsigned x = 0; x < width; ++x) {
    const uint32_t v = LoadWord(in + static_cast<size_t>(x) * 4);
    StoreWord(out + static_cast<size_t>(x) * 4, (__builtin_bswap32(v) >> 8) | (v & kAlphaByte));
  }
}

// One 24-bit row widened to red, green, blue and an opaque alpha, as FreeImage's own 24-to-32
// conversion gives. Each pixel is read as a word; the last one byte by byte, since its word
// would reach past the row.
void Row24ToRgba(const uint8_t* in, uint8_t* out, unsigned width) {
  const unsigned whole = width - 1;
  for (unsigned x = 0; x < whole; ++x) {
    const uint32_t v = LoadWord(in + static_cast<size_t>(x) * 3);
    StoreWord(out + static_cast<size_t>(x) * 4, __builtin_bswap32(v << 8) | kAlphaByte);
  }
  const uint8_t* last = in + static_cast<size_t>(whole) * 3;
  StoreWord(out + static_cast<size_t>(whole) * 4,
            PackRgba(last[FI_RGBA_RED], last[FI_RGBA_GREEN], last[FI_RGBA_BLUE], 255));
}

// An 8-bit row through its palette: the colours, with the alpha of the transparency table
// where the picture has one (entries beyond the table are opaque), as FreeImage's 8-to-32
// conversion gives.
class PaletteWidener {
 public:
  explicit PaletteWidener(FIBITMAP* image) {
    const RGBQUAD* palette = FreeImage_GetPalette(image);
    const unsigned colours = palette != nullptr ? std::min(FreeImage_GetColorsUsed(image), 256u) : 0;
    const bool transparent = FreeImage_IsTransparent(image) != FALSE;
    const BYTE* alpha = FreeImage_GetTransparencyTable(image);
    const unsigned alphas = alpha != nullptr ? FreeImage_GetTransparencyCount(image) : 0;
    for (unsigned i = 0; i < 256; ++i) {
      const RGBQUAD c = i < colours ? palette[i] : RGBQUAD{0, 0, 0, 0};
      const uint32_t a = transparent && i < alphas ? alpha[i] : 255;
      table_[i] = PackRgba(c.rgbRed, c.rgbGreen, c.rgbBlue, a);
    }
  }
  void Row(const uint8_t* in, uint8_t* out, unsigned width) const {
    for (unsigned x = 0; x < width; ++x) StoreWord(out + static_cast<size_t>(x) * 4, table_[in[x]]);
  }

 private:
  uint32_t table_[256];
};

// Gives a large picture's rows back to the system as the bands that read them finish. The
// picture is bottom-up and DevIL's buffer top-down, so the bands free the picture from its end;
// what is freed is whole 2 MiB pieces, the unit the picture's memory is mapped in, and DevIL's
// buffer, filled at the same time, is mapped from those very pieces instead of fresh memory.
class RowGiveBack {
 public:
  RowGiveBack(FIBITMAP* image, unsigned bands, unsigned rowsPerBand, bool active)
      : bits_(FreeImage_GetBits(image)), pitch_(FreeImage_GetPitch(image)),
        height_(FreeImage_GetHeight(image)), rows_(rowsPerBand), done_(active ? bands : 0, false) {
    freedFrom_ = End(bits_ + pitch_ * height_);
  }

  // Band `band` (output rows band * rowsPerBand on) has read its rows. Thread-safe.
  void Finished(unsigned band) {
    if (done_.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    done_[band] = true;
    while (next_ < done_.size() && done_[next_]) ++next_;
    // Every band before next_ is done: the scan lines from this one up are read.
    const uint64_t lowest = height_ - std::min<uint64_t>(height_, uint64_t{next_} * rows_);
    const uintptr_t from = Start(bits_ + lowest * pitch_);
    if (from < freedFrom_) {
      madvise(reinterpret_cast<void*>(from), freedFrom_ - from, MADV_DONTNEED);
      freedFrom_ = from;
    }
  }

 private:
  static constexpr uintptr_t kPiece = kHugePageBytes;
  // The first whole piece at or after `p`, and the end of the last whole piece before `p`.
  static uintptr_t Start(const uint8_t* p) { return (reinterpret_cast<uintptr_t>(p) + kPiece - 1) & ~(kPiece - 1); }
  static uintptr_t End(const uint8_t* p) { return reinterpret_cast<uintptr_t>(p) & ~(kPiece - 1); }

  uint8_t* bits_;
  uint64_t pitch_;
  uint64_t height_;
  uint64_t rows_;
  std::mutex mutex_;
  std::vector<bool> done_;
  size_t next_ = 0;         // the first band not yet done
  uintptr_t freedFrom_;     // the picture is given back from here to its end
};

// Below this a picture's rows are not worth giving back piece by piece.
constexpr uint64_t kGiveBackFrom = uint64_t{8} << 20;

// Rows of DevIL's buffer widened by one band; large enough that a band's thread and its mapping
// call cost little beside the copying.
constexpr size_t kWidenBandBytes = size_t{4} << 20;

// Fills DevIL's buffer with red, green, blue, alpha per pixel, top row first. That is the
// layout DevIL's PSD saver writes from; handed BGRA or bottom-up rows it would first make a
// converted and a flipped copy of the whole picture. 8-, 24- and 32-bit bitmaps are widened
// here row by row, so no 32-bit copy of the picture is made first; a large picture in bands of
// rows on every usable core, each band mapping its part of the fresh buffer as it goes.
void CopyRgbaTopDown(FIBITMAP* image, uint8_t* pixels, unsigned width, unsigned height, RowsAfterCopy after) {
  const size_t pitch = static_cast<size_t>(width) * 4;
  const unsigned bpp = FreeImage_GetBPP(image);
  const bool bitmap = FreeImage_GetImageType(image) == FIT_BITMAP;
  // Fewer faults, and DevIL's saver, which reads the picture four times over, streams through
  // huge pages faster.
  AdviseHugePages(pixels, pitch * height);
  const auto eachRow = [&](auto widen) {
    const unsigned rows = static_cast<unsigned>(std::clamp<size_t>(kWidenBandBytes / pitch, 1, height));
    const unsigned bands = (height + rows - 1) / rows;
    const uint64_t pictureBytes = uint64_t{FreeImage_GetPitch(image)} * height;
    RowGiveBack giveBack(image, bands, rows, after == RowsAfterCopy::GivenBack && pictureBytes >= kGiveBackFrom);
    RunBands(bands, bands > 1 ? BandWorkers() : 1, [&](unsigned band) {
      const unsigned first = band * rows;
      const unsigned last = std::min(height, first + rows);
      MapFreshMemory(pixels + first * pitch, (last - first) * pitch);
      for (unsigned y = first; y < last; ++y) {
        widen(FreeImage_GetScanLine(image, static_cast<int>(height - 1 - y)), pixels + y * pitch);
      }
      giveBack.Finished(band);
      return true;
    });
  };
  if (bitmap && bpp == 32) {
    eachRow([&](const uint8_t* in, uint8_t* out) { Row32ToRgba(in, out, width); });
  } else if (bitmap && bpp == 24) {
    eachRow([&](const uint8_t* in, uint8_t* out) { Row24ToRgba(in, out, width); });
  } else if (WriterWidensTo32Bits(image)) {
    const PaletteWidener palette(image);
    eachRow([&](const uint8_t* in, uint8_t* out) { palette.Row(in, out, width); });
  } else {
    // Other depths are widened by FreeImage, in place, then reordered.
    MapFreshMemory(pixels, pitch * height);
    FreeImage_ConvertToRawBits(pixels, image, static_cast<int>(pitch), 32, FI_RGBA_RED_MASK,
                               FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE);
    for (unsigned y = 0; y < height; ++y) Row32ToRgba(pixels + y * pitch, pixels + y * pitch, width);
  }
}

}  // namespace

bool WriterWidensTo32Bits(unsigned bpp) { return bpp == 8 || bpp == 24; }

bool WriterWidensTo32Bits(FIBITMAP* image) {
  if (image == nullptr || FreeImage_GetImageType(image) != FIT_BITMAP) return false;
  const unsigned bpp = FreeImage_GetBPP(image);
  return WriterWidensTo32Bits(bpp) && (bpp != 8 || FreeImage_GetPalette(image) != nullptr);
}

bool ExpectedPsdSize(unsigned width, unsigned height, uint64_t* size) {
  size_t pixels = 0, bytes = 0;
  if (!MulSize(width, height, &pixels) || !MulSize(pixels, 4, &bytes)) return false;
  *size = kPsdOverhead + bytes;
  return true;
}

PsdWriteResult WritePsd(FIBITMAP* image, const std::string& tempPath, const std::string& outputPath,
                        RowsAfterCopy rows) {
  if (image == nullptr || !FreeImage_HasPixels(image)) return PsdWriteResult::NoImage;
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  if (width == 0 || height == 0) return PsdWriteResult::NoImage;
  if (width > kMaxPsdSide || height > kMaxPsdSide) return PsdWriteResult::TooLarge;
  uint64_t expectedSize = 0;
  if (!ExpectedPsdSize(width, height, &expectedSize)) return PsdWriteResult::TooLarge;
  if (SessionEnding()) return PsdWriteResult::Stopped;

  // The file comes first, so a taken name costs nothing before the caller draws another.
  BufferedOutput file;
  if (!file.Create(tempPath)) {
    return errno == EEXIST ? PsdWriteResult::TempNameTaken : PsdWriteResult::SaveFailed;
  }
  // The file is closed when `file` goes; what is still buffered is of no use.
  const auto fail = [&](PsdWriteResult result) {
    DiscardTempFile(tempPath);
    return SessionEnding() ? PsdWriteResult::Stopped : result;
  };
  file.KeepPermissionsOf(outputPath);

  DevilImage devil;
  // DevIL's own buffer receives the rows directly, so the picture is not held a third time.
  const ILint depth = ilGetInteger(IL_IMAGE_DEPTH);
  if (!ilTexImage(width, height, depth, 4, IL_RGBA, IL_UNSIGNED_BYTE, nullptr)) {
    return fail(PsdWriteResult::OutOfMemory);
  }
  ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);
  ILubyte* pixels = ilGetData();
  if (pixels == nullptr) return fail(PsdWriteResult::OutOfMemory);
  CopyRgbaTopDown(image, pixels, width, height, rows);

  {
    DefaultOutputOnExit restore;
    BufferedOutput::Install();
    // DevIL 1.7.8's ilSaveF hands back the saver's byte count squeezed into an ILboolean (the
    // count modulo 256), so a complete file whose length is a multiple of 256 reads as a
    // failure. The save is judged by what reached the file: the write errors and the size.
    ilSaveF(IL_PSD, static_cast<ILHANDLE>(&file));
  }
  if (!file.Finish()) return fail(PsdWriteResult::WriteFailed);
  if (FileSize(tempPath) != static_cast<int64_t>(expectedSize)) return fail(PsdWriteResult::ShortFile);
  if (SessionEnding()) return fail(PsdWriteResult::Stopped);
  if (!CommitTempFile(tempPath, outputPath)) return fail(PsdWriteResult::RenameFailed);
  return PsdWriteResult::Saved;
}

}  // namespace ravelin
