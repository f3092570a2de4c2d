// PSD writing: the exact bytes of the file for pictures of every depth the pipeline can hand
// over and of widths around the writer's row blocks, the refusals, a full disk, and DevIL's
// default output after a save.
#include "engine/psd/psd_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <IL/il.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/bitmaps.h"
#include "tests/support/scratch.h"

namespace ravelin {
namespace {

using test::PixelAt;
using test::ReadBytes;
using test::Rgba;
using test::ScratchDir;

class PsdWriter : public ::testing::Test {
 protected:
  void SetUp() override { ilInit(); }
};

// Every pixel differs from its neighbours in every channel, so a swapped channel, a mirrored
// row or a flipped picture changes the file.
Rgba PatternColor(unsigned x, unsigned y) {
  return Rgba{static_cast<uint8_t>(x * 7 + y * 3), static_cast<uint8_t>(x * 5 + y * 11 + 1),
              static_cast<uint8_t>(x * 13 + y * 2 + 2), static_cast<uint8_t>(255 - x - y * 17)};
}

FIBITMAP* PatternBitmap(unsigned width, unsigned height, unsigned bpp) {
  FIBITMAP* bitmap = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), static_cast<int>(bpp));
  for (unsigned y = 0; y < height; ++y) {
    for (unsigned x = 0; x < width; ++x) test::SetPixelAt(bitmap, x, y, PatternColor(x, y));
  }
  return bitmap;
}

// Big-endian; bytes beyond the value's four are zeros.
void PutBig(std::vector<uint8_t>* out, uint32_t value, int bytes) {
  for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
    out->push_back(shift >= 32 ? 0 : static_cast<uint8_t>(value >> shift));
  }
}

// The file DevIL writes for a flat four-channel picture, built from the pixels as FreeImage
// reports them: header, three empty sections, raw compression, then the red, green, blue and
// alpha planes, each top row first.
std::vector<uint8_t> ExpectedFile(FIBITMAP* image) {
  const unsigned width = FreeImage_GetWidth(image), height = FreeImage_GetHeight(image);
  std::vector<uint8_t> file = {'8', 'B', 'P', 'S'};
  PutBig(&file, 1, 2);           // version
  PutBig(&file, 0, 6);           // reserved
  PutBig(&file, 4, 2);           // channels
  PutBig(&file, height, 4);
  PutBig(&file, width, 4);
  PutBig(&file, 8, 2);           // bits per channel
  PutBig(&file, 3, 2);           // RGB colour mode
  PutBig(&file, 0, 4 * 3 + 2);   // colour mode data, resources, layers; raw planes
  for (int channel = 0; channel < 4; ++channel) {
    for (unsigned y = 0; y < height; ++y) {
      for (unsigned x = 0; x < width; ++x) {
        const Rgba c = PixelAt(image, x, y);
        const uint8_t values[] = {c.red, c.green, c.blue, c.alpha};
        file.push_back(values[channel]);
      }
    }
  }
  return file;
}

TEST_F(PsdWriter, WritesThePlanesOfEveryDepthTopRowFirst) {
  struct Case { const char* why; unsigned width, height, bpp; };
  const Case kCases[] = {
      {"one pixel", 1, 1, 32},
      {"one row short of a block", 63, 2, 32},
      {"exactly one block", 64, 3, 32},
      {"one pixel into the next block", 65, 3, 32},
      {"planes span several output buffers", 301, 287, 32},
      {"24-bit rows are widened with opaque alpha", 65, 4, 24},
      {"24-bit over several output buffers", 300, 300, 24},
  };
  ScratchDir dir;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    FIBITMAP* image = PatternBitmap(c.width, c.height, c.bpp);
    ASSERT_EQ(PsdWriteResult::Saved, WritePsd(image, dir / "temp.tmp", dir / "out.psd"));
    EXPECT_EQ(ExpectedFile(image), ReadBytes(dir / "out.psd"));
    EXPECT_EQ((std::vector<std::string>{"out.psd"}), test::ListFolder(dir.path()));
    FreeImage_Unload(image);
  }
}

// The file's length is 40 + 4 x width x height bytes, so width x height = 54 (mod 64) makes it a
// multiple of 256: DevIL's own save result says failure for those. Height 3 is odd, so widths 1
// to 64 meet every residue of width x height modulo 64.
TEST_F(PsdWriter, EveryPictureSizeModulo64IsSaved) {
  ScratchDir dir;
  for (unsigned width = 1; width <= 64; ++width) {
    SCOPED_TRACE(width);
    FIBITMAP* image = PatternBitmap(width, 3, 32);
    EXPECT_EQ(PsdWriteResult::Saved, WritePsd(image, dir / "temp.tmp", dir / "out.psd"));
    EXPECT_EQ(ExpectedFile(image), ReadBytes(dir / "out.psd"));
    FreeImage_Unload(image);
  }
}

TEST_F(PsdWriter, PalettePicturesGoThroughTheirColours) {
  FIBITMAP* palette = FreeImage_Allocate(70, 3, 8);
  RGBQUAD* colours = FreeImage_GetPalette(palette);
  for (unsigned i = 0; i < 256; ++i) {
    colours[i].rgbRed = static_cast<BYTE>(i);
    colours[i].rgbGreen = static_cast<BYTE>(255 - i);
    colours[i].rgbBlue = static_cast<BYTE>(i * 3);
  }
  for (unsigned y = 0; y < 3; ++y) {
    for (unsigned x = 0; x < 70; ++x) FreeImage_GetScanLine(palette, static_cast<int>(y))[x] = static_cast<BYTE>(x * 3 + y);
  }
  FIBITMAP* widened = FreeImage_ConvertTo32Bits(palette);
  ScratchDir dir;
  ASSERT_EQ(PsdWriteResult::Saved, WritePsd(palette, dir / "temp.tmp", dir / "out.psd"));
  EXPECT_EQ(ExpectedFile(widened), ReadBytes(dir / "out.psd"));
  FreeImage_Unload(widened);
  FreeImage_Unload(palette);
}

TEST_F(PsdWriter, RefusalsLeaveAnExistingOutputAsItWas) {
  ScratchDir dir;
  ASSERT_TRUE(test::WriteBytes(dir / "out.psd", {'o', 'l', 'd'}));
  FIBITMAP* image = PatternBitmap(5, 4, 32);
  EXPECT_EQ(PsdWriteResult::NoImage, WritePsd(nullptr, dir / "temp.tmp", dir / "out.psd"));
  EXPECT_EQ(PsdWriteResult::SaveFailed, WritePsd(image, dir / "missing/temp.tmp", dir / "out.psd"));
  EXPECT_EQ(PsdWriteResult::RenameFailed, WritePsd(image, dir / "temp.tmp", dir / "missing/out.psd"));
  EXPECT_EQ((std::vector<uint8_t>{'o', 'l', 'd'}), ReadBytes(dir / "out.psd"));
  EXPECT_EQ((std::vector<std::string>{"out.psd"}), test::ListFolder(dir.path()));
  FreeImage_Unload(image);
}

// DevIL itself reports success on a full disk; the writer must not.
TEST_F(PsdWriter, AFullDiskIsAFailureAndLeavesNoFile) {
  ScratchDir dir;
  ASSERT_EQ(0, symlink("/dev/full", (dir / "temp.tmp").c_str()));
  FIBITMAP* image = PatternBitmap(300, 300, 32);
  EXPECT_EQ(PsdWriteResult::WriteFailed, WritePsd(image, dir / "temp.tmp", dir / "out.psd"));
  EXPECT_TRUE(test::ListFolder(dir.path()).empty());
  FreeImage_Unload(image);
}

// The writer lends DevIL its own output functions for one save only.
TEST_F(PsdWriter, DevilSavesThroughItsOwnFilesAfterwards) {
  ScratchDir dir;
  FIBITMAP* image = PatternBitmap(3, 2, 32);
  ASSERT_EQ(PsdWriteResult::Saved, WritePsd(image, dir / "temp.tmp", dir / "out.psd"));
  ILuint name = 0;
  ilGenImages(1, &name);
  ilBindImage(name);
  ASSERT_TRUE(ilTexImage(3, 2, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, nullptr));
  ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);
  std::vector<uint8_t> expected = ExpectedFile(image);
  const size_t plane = 3 * 2;
  ILubyte* data = ilGetData();
  for (size_t i = 0; i < plane; ++i) {
    for (size_t c = 0; c < 4; ++c) data[i * 4 + c] = expected[expected.size() - 4 * plane + c * plane + i];
  }
  EXPECT_TRUE(ilSave(IL_PSD, (dir / "devil.psd").c_str()));
  ilDeleteImages(1, &name);
  EXPECT_EQ(expected, ReadBytes(dir / "devil.psd"));
  FreeImage_Unload(image);
}

}  // namespace
}  // namespace ravelin
