// Writing the final picture as a PSD file with DevIL: the pixels go to DevIL as 32-bit
// samples, one row after the other; DevIL writes under the ASCII temporary name through the
// engine's own buffered output, and only a complete file is renamed over the output name.
// Called by the pipeline on the worker thread.
#pragma once

#include <cstdint>
#include <string>

#include <FreeImage.h>

namespace ravelin {

enum class PsdWriteResult {
  Saved,
  NoImage,
  TooLarge,
  OutOfMemory,
  SaveFailed,    // the temporary file could not be created
  TempNameTaken, // something (a file, a planted link) has the temporary name: draw another
  Stopped,       // the session is ending (platform/session_end.h)
  WriteFailed,   // the file system refused bytes (a full disk, a quota, an I/O error)
  ShortFile,     // the finished file does not have the size the picture needs
  RenameFailed,
};

// The size DevIL's PSD file must have for a width x height picture with four channels:
// header, the three empty sections, the compression word and the raw planes.
bool ExpectedPsdSize(unsigned width, unsigned height, uint64_t* size);

// True for the bitmaps the writer widens to 32 bits row by row as it fills DevIL's buffer
// (8-bit with a palette, 24-bit), with the same bytes FreeImage's 32-bit conversion gives.
bool WriterWidensTo32Bits(FIBITMAP* image);
bool WriterWidensTo32Bits(unsigned bpp);

// What becomes of the picture's rows once they are in DevIL's buffer.
enum class RowsAfterCopy {
  Kept,       // the picture stays as it was
  GivenBack,  // a large picture's rows go back to the system as they are copied, so the
              // picture and DevIL's buffer are never both whole; its pixels are then gone
};

// Writes `image` (any depth FreeImage can turn into 32-bit rows) to tempPath and renames it to
// outputPath. The temporary file is always a new file: nothing already at tempPath is opened
// or followed. A replaced output passes its permission bits on to the new file. On any
// failure, and when the session ends during the save, the temporary file is removed and an
// existing output stays as it was. The image stays owned by the caller; with
// RowsAfterCopy::GivenBack its pixels may no longer be read once a result other than
// NoImage, TooLarge, SaveFailed or TempNameTaken comes back.
PsdWriteResult WritePsd(FIBITMAP* image, const std::string& tempPath, const std::string& outputPath,
                        RowsAfterCopy rows = RowsAfterCopy::Kept);

}  // namespace ravelin
