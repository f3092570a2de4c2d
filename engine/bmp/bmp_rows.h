// The rows FreeImage reads in place of a BMP file's pixel data, produced one at a time from the
// file: copied, expanded from bit fields, or decoded from RLE, bottom row first. Served with the
// rewritten headers through a virtual stream behind FreeImage's handle interface. Used by the
// checked BMP loader only.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/bmp/bmp_header.h"
#include "engine/bmp/bmp_loader.h"
#include "engine/bmp/bmp_source.h"

namespace ravelin {

class BmpRowReader {
 public:
  virtual ~BmpRowReader() = default;
  // Writes row `row` (0 is the bottom row) as layout.outPitch bytes; rows are asked for in
  // rising order. False on failure, with the reason in failure().
  virtual bool Produce(uint32_t row, uint8_t* out) = 0;
  // Rows `first` to `first + count - 1`, `pitch` bytes apart from `out`: the same as Produce
  // for each, which is what it does unless the reader knows a quicker way.
  virtual bool ProduceRows(uint32_t first, uint32_t count, uint64_t pitch, uint8_t* out);
  BmpLoadError failure() const { return failure_; }

 protected:
  BmpLoadError failure_ = BmpLoadError::None;
};

// The reader for the layout's row form; `source` must outlive it.
std::unique_ptr<BmpRowReader> MakeBmpRowReader(const BmpLayout& layout, BmpSource& source);

// A read-only stream of the plain BMP: `head` from memory, then the rows from `rows`.
class BmpVirtualStream {
 public:
  BmpVirtualStream(std::vector<uint8_t> head, const BmpLayout& layout, BmpRowReader* rows);
  // The procedures to give FreeImage_LoadFromHandle, with this stream as the handle.
  static FreeImageIO Io();
  // None, or why a row could not be produced.
  BmpLoadError failure() const { return failure_; }

 private:
  static unsigned DLL_CALLCONV ReadProc(void* buffer, unsigned size, unsigned count, fi_handle handle);
  static int DLL_CALLCONV SeekProc(fi_handle handle, long offset, int origin);
  static long DLL_CALLCONV TellProc(fi_handle handle);

  size_t Read(uint8_t* out, size_t wanted);

  std::vector<uint8_t> head_;
  uint64_t pitch_;
  uint64_t total_;
  uint64_t position_ = 0;
  std::vector<uint8_t> row_;
  int64_t rowIndex_ = -1;  // the row held in row_
  BmpRowReader* rows_;
  BmpLoadError failure_ = BmpLoadError::None;
};

}  // namespace ravelin
