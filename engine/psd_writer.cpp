#include "engine/psd_writer.h"

#include <IL/il.h>

#include "engine/image_limits.h"
#include "platform/files.h"

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

}  // namespace

bool ExpectedPsdSize(unsigned width, unsigned height, uint64_t* size) {
  size_t pixels = 0, bytes = 0;
  if (!MulSize(width, height, &pixels) || !MulSize(pixels, 4, &bytes)) return false;
  *size = kPsdOverhead + bytes;
  return true;
}

PsdWriteResult WritePsd(FIBITMAP* image, const std::string& tempPath, const std::string& outputPath) {
  if (image == nullptr) return PsdWriteResult::NoImage;
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  if (width == 0 || height == 0) return PsdWriteResult::NoImage;
  if (width > kMaxPsdSide || height > kMaxPsdSide) return PsdWriteResult::TooLarge;
  uint64_t expectedSize = 0;
  if (!ExpectedPsdSize(width, height, &expectedSize)) return PsdWriteResult::TooLarge;

  DevilImage devil;
  ilEnable(IL_FILE_OVERWRITE);
  // DevIL's own buffer receives the rows directly, so the picture is not held a third time.
  const ILint depth = ilGetInteger(IL_IMAGE_DEPTH);
  if (!ilTexImage(width, height, depth, 4, IL_BGRA, IL_UNSIGNED_BYTE, nullptr)) {
    return PsdWriteResult::OutOfMemory;
  }
  ILubyte* pixels = ilGetData();
  if (pixels == nullptr) return PsdWriteResult::OutOfMemory;
  // Bottom row first, blue, green, red, alpha: DevIL's default lower-left origin.
  FreeImage_ConvertToRawBits(pixels, image, static_cast<int>(width * 4), 32,
                             FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, FALSE);

  const bool saved = ilSave(IL_PSD, tempPath.c_str()) == IL_TRUE;
  if (!saved) {
    RemoveFile(tempPath);
    return PsdWriteResult::SaveFailed;
  }
  // DevIL 1.7.8 ignores write errors (a full disk) and still reports success.
  if (FileSize(tempPath) != static_cast<int64_t>(expectedSize)) {
    RemoveFile(tempPath);
    return PsdWriteResult::ShortFile;
  }
  if (!RenameFile(tempPath, outputPath)) {
    RemoveFile(tempPath);
    return PsdWriteResult::RenameFailed;
  }
  return PsdWriteResult::Saved;
}

}  // namespace ravelin
