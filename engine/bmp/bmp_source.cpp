#include "engine/bmp/bmp_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ravelin {

size_t MemoryBmpSource::ReadAt(uint64_t offset, uint8_t* out, size_t count) {
  if (offset >= size_) return 0;
  const size_t available = static_cast<size_t>(size_ - offset);
  const size_t copied = count < available ? count : available;
  std::memcpy(out, data_ + offset, copied);
  return copied;
}

FileBmpSource::~FileBmpSource() {
  if (file_ != nullptr) std::fclose(file_);
}

bool FileBmpSource::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return false;
  // Rows are read one after the other; a buffer of many rows saves a system call or two per
  // row (the default buffer is one 4 KiB block, and glibc takes a size only with a buffer).
  buffer_.resize(size_t{64} << 10);
  std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
  struct stat st;
  if (fstat(fileno(file_), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
    std::fclose(file_);
    file_ = nullptr;
    return false;
  }
  size_ = static_cast<uint64_t>(st.st_size);
  position_ = 0;
  return true;
}

size_t FileBmpSource::ReadAt(uint64_t offset, uint8_t* out, size_t count) {
  if (file_ == nullptr || offset >= size_) return 0;
  if (offset != position_) {
    if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return 0;
    position_ = offset;
  }
  const size_t copied = std::fread(out, 1, count, file_);
  position_ += copied;
  if (copied < count) {
    // A short read leaves the stream state unknown; seek afresh next time.
    std::clearerr(file_);
    position_ = UINT64_MAX;
  }
  return copied;
}

size_t FileBmpSource::ReadBlock(uint64_t offset, uint8_t* out, size_t count) {
  if (file_ == nullptr || offset >= size_) return 0;
  // pread keeps the stream's own position, so ReadAt goes on where it was.
  const int fd = fileno(file_);
  size_t copied = 0;
  while (copied < count) {
    const ssize_t got = pread(fd, out + copied, count - copied, static_cast<off_t>(offset + copied));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    copied += static_cast<size_t>(got);
  }
  return copied;
}

}  // namespace ravelin
