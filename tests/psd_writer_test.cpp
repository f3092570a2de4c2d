// PSD writing: the exact bytes of the file for pictures of every depth the pipeline can hand
// over and of widths around the writer's row blocks, the refusals, a full disk, and DevIL's
// default output after a save.
#include "engine/psd/psd_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
      {"a 24-bit row of one pixel", 1, 3, 24},
      {"24-bit rows whose end meets the row padding", 4, 3, 24},
      {"24-bit over several output buffers", 300, 300, 24},
      {"a file large enough for the writer thread", 1100, 1000, 32},
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

// Bytes of the picture's rows still in memory, and all its row bytes.
std::pair<uint64_t, uint64_t> ResidentRows(FIBITMAP* image) {
  const long page = sysconf(_SC_PAGESIZE);
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(FreeImage_GetBits(image)) + page - 1) & ~uintptr_t(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(FreeImage_GetBits(image)) +
                         uint64_t{FreeImage_GetPitch(image)} * FreeImage_GetHeight(image)) & ~uintptr_t(page - 1);
  std::vector<unsigned char> resident((end - begin) / page);
  if (mincore(reinterpret_cast<void*>(begin), end - begin, resident.data()) != 0) return {0, 0};
  uint64_t in = 0;
  for (const unsigned char r : resident) in += r & 1;
  return {in * page, resident.size() * page};
}

// A large picture whose rows are given back leaves the same file, and its rows leave memory as
// they are copied, all but the 2 MiB pieces it only partly fills at either end; a small one,
// and any picture that is kept, stays whole.
TEST_F(PsdWriter, RowsGivenBackLeaveTheSameFile) {
  struct Case {
    const char* why;
    unsigned width, height, bpp;
    RowsAfterCopy after;
    bool leavesMemory;
  };
  const Case kCases[] = {
      {"large 24-bit, given back", 2001, 1400, 24, RowsAfterCopy::GivenBack, true},
      {"large 32-bit, given back", 1500, 1401, 32, RowsAfterCopy::GivenBack, true},
      {"large 32-bit, kept", 1500, 1401, 32, RowsAfterCopy::Kept, false},
      {"small 24-bit, given back", 300, 200, 24, RowsAfterCopy::GivenBack, false},
  };
  ScratchDir dir;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    FIBITMAP* image = PatternBitmap(c.width, c.height, c.bpp);
    const std::vector<uint8_t> expected = ExpectedFile(image);
    ASSERT_EQ(PsdWriteResult::Saved, WritePsd(image, dir / "temp.tmp", dir / "out.psd", c.after));
    EXPECT_EQ(expected, ReadBytes(dir / "out.psd"));
    const auto [resident, rows] = ResidentRows(image);
    ASSERT_GT(rows, 0u);
    if (c.leavesMemory) {
      EXPECT_LE(resident, uint64_t{4} << 20);
    } else {
      EXPECT_EQ(rows, resident);
    }
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

// 8-bit pictures are widened by the writer itself: the file must hold what FreeImage's own
// 32-bit conversion gives, alpha from a transparency table included.
TEST_F(PsdWriter, PalettePicturesGoThroughTheirColours) {
  struct Case { const char* why; int alphas; bool transparent; };
  const Case kCases[] = {
      {"opaque palette", 0, false},
      {"a transparency table shorter than the palette", 100, true},
      {"a transparency table switched off", 100, false},
  };
  ScratchDir dir;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
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
    if (c.alphas > 0) {
      std::vector<BYTE> table(static_cast<size_t>(c.alphas));
      for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<BYTE>(i * 2 + 1);
      FreeImage_SetTransparencyTable(palette, table.data(), c.alphas);
      FreeImage_SetTransparent(palette, c.transparent ? TRUE : FALSE);
    }
    FIBITMAP* widened = FreeImage_ConvertTo32Bits(palette);
    ASSERT_EQ(PsdWriteResult::Saved, WritePsd(palette, dir / "temp.tmp", dir / "out.psd"));
    EXPECT_EQ(ExpectedFile(widened), ReadBytes(dir / "out.psd"));
    FreeImage_Unload(widened);
    FreeImage_Unload(palette);
  }
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

// DevIL itself reports success when the file system refuses bytes; the writer must not. A file
// size limit makes the writes fail part-way, as a full disk does: early in a small file, and
// in a large one once the writer thread has taken the writes over.
TEST_F(PsdWriter, AFullDiskIsAFailureAndLeavesNoFile) {
  struct Case { const char* why; rlim_t limit; unsigned side; };
  const Case kCases[] = {
      {"a small file", 64 * 1024, 300},
      {"a file written by the writer thread", 5 << 20, 1200},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    ScratchDir dir;
    rlimit saved{};
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    const rlimit small{c.limit, saved.rlim_max};
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    FIBITMAP* image = PatternBitmap(c.side, c.side, 32);
    const PsdWriteResult result = WritePsd(image, dir / "temp.tmp", dir / "out.psd");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(PsdWriteResult::WriteFailed, result);
    EXPECT_TRUE(test::ListFolder(dir.path()).empty());
    FreeImage_Unload(image);
  }
}

// Whatever has the temporary name (a link planted in a shared output folder above all) is
// neither opened nor followed nor removed: the caller draws another name.
TEST_F(PsdWriter, NeverWritesThroughWhatHasTheTemporaryName) {
  struct Case { const char* why; const char* link; };
  const Case kCases[] = {
      {"a link to someone's file", "victim"},
      {"a dangling link, which opening would create", "created-through-link"},
      {"a plain file", nullptr},
  };
  FIBITMAP* image = PatternBitmap(5, 4, 32);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    ScratchDir dir;
    ASSERT_TRUE(test::WriteBytes(dir / "victim", {'v'}));
    ASSERT_TRUE(test::WriteBytes(dir / "out.psd", {'o', 'l', 'd'}));
    if (c.link != nullptr) {
      ASSERT_EQ(0, symlink((dir / c.link).c_str(), (dir / "temp.tmp").c_str()));
    } else {
      ASSERT_TRUE(test::WriteBytes(dir / "temp.tmp", {'t'}));
    }
    EXPECT_EQ(PsdWriteResult::TempNameTaken, WritePsd(image, dir / "temp.tmp", dir / "out.psd"));
    EXPECT_EQ((std::vector<uint8_t>{'v'}), ReadBytes(dir / "victim"));
    EXPECT_EQ((std::vector<uint8_t>{'o', 'l', 'd'}), ReadBytes(dir / "out.psd"));
    EXPECT_EQ((std::vector<std::string>{"out.psd", "temp.tmp", "victim"}), test::ListFolder(dir.path()));
  }
  FreeImage_Unload(image);
}

// A replaced output passes its permission bits on; a new one gets the usual ones.
TEST_F(PsdWriter, KeepsThePermissionsOfTheReplacedOutput) {
  const mode_t savedMask = umask(022);
  FIBITMAP* image = PatternBitmap(3, 2, 32);
  for (const mode_t mode : {0600, 0640, 0444, 0755}) {
    SCOPED_TRACE(mode);
    ScratchDir dir;
    ASSERT_TRUE(test::WriteBytes(dir / "out.psd", {'o', 'l', 'd'}));
    ASSERT_EQ(0, chmod((dir / "out.psd").c_str(), mode));
    ASSERT_EQ(PsdWriteResult::Saved, WritePsd(image, dir / "temp.tmp", dir / "out.psd"));
    struct stat st;
    ASSERT_EQ(0, stat((dir / "out.psd").c_str(), &st));
    EXPECT_EQ(mode, st.st_mode & 07777);
    EXPECT_EQ(ExpectedFile(image), ReadBytes(dir / "out.psd"));
  }
  ScratchDir dir;
  ASSERT_EQ(PsdWriteResult::Saved, WritePsd(image, dir / "temp.tmp", dir / "new.psd"));
  struct stat st;
  ASSERT_EQ(0, stat((dir / "new.psd").c_str(), &st));
  EXPECT_EQ(0644u, st.st_mode & 07777);
  umask(savedMask);
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
