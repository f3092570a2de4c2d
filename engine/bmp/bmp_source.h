// Random-access byte sources behind the checked BMP loader: a file read through FILE* with
// offsets (so a large bitmap is never held in memory twice) or a block already in memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace ravelin {

class BmpSource {
 public:
  virtual ~BmpSource() = default;
  virtual uint64_t Size() const = 0;
  // Copies up to `count` bytes from `offset`; returns how many were copied (fewer at the end
  // of the source or on a read error).
  virtual size_t ReadAt(uint64_t offset, uint8_t* out, size_t count) = 0;
  // The same for a large block, copied straight into `out`: safe to call from several threads
  // at once, and beside ReadAt.
  virtual size_t ReadBlock(uint64_t offset, uint8_t* out, size_t count) = 0;
};

class MemoryBmpSource final : public BmpSource {
 public:
  MemoryBmpSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, uint8_t* out, size_t count) override;
  size_t ReadBlock(uint64_t offset, uint8_t* out, size_t count) override { return ReadAt(offset, out, count); }

 private:
  const uint8_t* data_;
  size_t size_;
};

class FileBmpSource final : public BmpSource {
 public:
  FileBmpSource() = default;
  ~FileBmpSource() override;
  FileBmpSource(const FileBmpSource&) = delete;
  FileBmpSource& operator=(const FileBmpSource&) = delete;
  // Opens a regular file for reading; false for a missing path, a folder or a device.
  bool Open(const std::string& path);
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, uint8_t* out, size_t count) override;
  size_t ReadBlock(uint64_t offset, uint8_t* out, size_t count) override;

 private:
  std::vector<char> buffer_;  // the stream's buffer; outlives file_ (closed in the destructor)
  FILE* file_ = nullptr;
  uint64_t size_ = 0;
  uint64_t position_ = 0;  // where the FILE* stands, so sequential reads need no seek
};

}  // namespace ravelin
