// Hostile BMP files through the built converter, one run each: the run ends quickly, reports
// "Conversion stopped", and an output file of the same name is left byte for byte as it was,
// with no temporary file beside it.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "tests/support/bmp_writer.h"
#include "tests/support/png_header.h"
#include "tests/support/scratch.h"

namespace ravelin::test {
namespace {

constexpr size_t kSizeAt = 2, kOffBitsAt = 10, kWidthAt = 18, kHeightAt = 22, kPlanesAt = 26,
                 kBppAt = 28, kCompressionAt = 30, kColorsUsedAt = 46, kMasksAt = 54;

void Patch16(std::vector<uint8_t>* b, size_t at, uint16_t v) {
  (*b)[at] = static_cast<uint8_t>(v);
  (*b)[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Patch32(std::vector<uint8_t>* b, size_t at, uint32_t v) {
  Patch16(b, at, static_cast<uint16_t>(v));
  Patch16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

// A 4 x 3 picture of the given depth; indexed depths get a four-colour palette.
BmpSpec Picture(uint16_t bpp, uint32_t compression = kBmpRgb) {
  BmpSpec spec;
  spec.width = 4;
  spec.height = 3;
  spec.bpp = bpp;
  spec.compression = compression;
  const std::vector<uint32_t> colours = {Rgba(200, 10, 10), Rgba(10, 200, 10), Rgba(10, 10, 200), Rgba(9, 9, 9)};
  if (bpp <= 8) spec.palette.assign(colours.begin(), colours.begin() + (bpp == 1 ? 2 : 4));
  for (int i = 0; i < spec.width * spec.height; ++i) {
    spec.pixels.push_back(bpp <= 8 ? spec.palette[static_cast<size_t>(i) % spec.palette.size()] : colours[i % 4]);
  }
  if (compression == kBmpBitFields) spec.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
  return spec;
}

// An RLE8 picture of width x height with the stream exactly as given.
std::vector<uint8_t> Rle8(int32_t width, int32_t height, std::vector<uint8_t> stream) {
  BmpSpec spec = Picture(8, kBmpRle8);
  spec.width = width;
  spec.height = height;
  spec.pixels.clear();
  spec.rleData = std::move(stream);
  return WriteBmp(spec);
}
std::vector<uint8_t> Rle4(std::vector<uint8_t> stream, int32_t width = 4, int32_t height = 3) {
  BmpSpec spec = Picture(4, kBmpRle4);
  spec.width = width;
  spec.height = height;
  spec.pixels.clear();
  spec.rleData = std::move(stream);
  return WriteBmp(spec);
}

using Patch = std::function<void(std::vector<uint8_t>*)>;
std::vector<uint8_t> Patched(const BmpSpec& spec, const Patch& patch) {
  std::vector<uint8_t> bytes = WriteBmp(spec);
  patch(&bytes);
  return bytes;
}

struct Case {
  std::string why;
  std::vector<uint8_t> bytes;
};

std::vector<Case> HostileFiles() {
  std::vector<Case> cases;
  const std::vector<uint8_t> plain = WriteBmp(Picture(24));
  // Truncated at each field of the file and info headers, and inside the rows.
  for (size_t at : {1, 2, 6, 10, 14, 18, 22, 26, 28, 30, 34, 46, 54, 60}) {
    cases.push_back({"truncated at " + std::to_string(at),
                     std::vector<uint8_t>(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(at))});
  }
  const BmpSpec rgb = Picture(24);
  const std::vector<std::pair<const char*, Patch>> patches = {
      {"width 0", [](auto* b) { Patch32(b, kWidthAt, 0); }},
      {"width negative", [](auto* b) { Patch32(b, kWidthAt, uint32_t(-4)); }},
      {"height 0", [](auto* b) { Patch32(b, kHeightAt, 0); }},
      {"height INT32_MIN", [](auto* b) { Patch32(b, kHeightAt, 0x80000000u); }},
      {"enormous sides", [](auto* b) { Patch32(b, kWidthAt, 2000000000); Patch32(b, kHeightAt, 2000000000); }},
      {"height far beyond the rows", [](auto* b) { Patch32(b, kHeightAt, 100000); }},
      {"planes 0", [](auto* b) { Patch16(b, kPlanesAt, 0); }},
      {"planes 3", [](auto* b) { Patch16(b, kPlanesAt, 3); }},
      {"depth 0", [](auto* b) { Patch16(b, kBppAt, 0); }},
      {"depth 2", [](auto* b) { Patch16(b, kBppAt, 2); }},
      {"depth 7", [](auto* b) { Patch16(b, kBppAt, 7); }},
      {"depth 64", [](auto* b) { Patch16(b, kBppAt, 64); }},
      {"unknown compression", [](auto* b) { Patch32(b, kCompressionAt, 99); }},
      {"pixel offset beyond the file", [](auto* b) { Patch32(b, kOffBitsAt, 0xFFFFFFF0u); }},
      {"pixel offset at the file end", [](auto* b) { Patch32(b, kOffBitsAt, uint32_t(b->size())); }},
      {"last row short", [](auto* b) { b->resize(b->size() - 5); }},
      {"file size field lies, rows missing", [](auto* b) { Patch32(b, kSizeAt, 100000); b->resize(60); }},
  };
  for (const auto& [why, patch] : patches) cases.push_back({why, Patched(rgb, patch)});

  cases.push_back({"palette larger than the file",
                   Patched(Picture(8), [](auto* b) { Patch32(b, kColorsUsedAt, 256); b->resize(70); })});
  cases.push_back({"palette larger than the depth", Patched(Picture(4), [](auto* b) { Patch32(b, kColorsUsedAt, 17); })});
  const BmpSpec fields = Picture(32, kBmpBitFields);
  cases.push_back({"bit-field mask 0", Patched(fields, [](auto* b) { Patch32(b, kMasksAt, 0); })});
  cases.push_back({"bit-field masks overlap", Patched(fields, [](auto* b) { Patch32(b, kMasksAt + 4, 0x00FFFF00); })});

  // RLE: data that stops before the picture is complete, whatever overran before it.
  cases.push_back({"RLE8 run overruns the row, data ends", Rle8(4, 3, {20, 1, 0, 0})});
  cases.push_back({"RLE8 delta past the row end, data ends", Rle8(4, 3, {0, 2, 200, 0, 4, 1})});
  cases.push_back({"RLE8 absolute run past the data", Rle8(4, 3, {0, 50, 1, 2, 3})});
  cases.push_back({"RLE4 rows missing", Rle4({4, 0x12, 0, 0})});
  cases.push_back({"RLE8 claims 30000 x 30000 in a few bytes", Rle8(30000, 30000, {255, 1, 255, 2, 0, 0})});
  return cases;
}

TEST(HostileBmp, StopsCleanlyAndKeepsTheOutput) {
  ScratchDir home;
  ScratchDir out;
  const std::vector<uint8_t> existing = {'k', 'e', 'e', 'p', 0, 1, 2, 255};
  for (const Case& c : HostileFiles()) {
    SCOPED_TRACE(c.why);
    ASSERT_TRUE(WriteBytes(home / "hostile.bmp", c.bytes));
    ASSERT_TRUE(WriteBytes(out / "hostile.psd", existing));
    const auto start = std::chrono::steady_clock::now();
    const RunResult run = RunRavelin({"-i", home / "hostile.bmp", "-o", out.path()}, home);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(0, run.exitCode);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ("Conversion stopped", run.lines.back());
    EXPECT_LT(seconds, 10.0) << "a run that long is a hang";
    EXPECT_EQ(existing, ReadBytes(out / "hostile.psd"));
    EXPECT_EQ(std::vector<std::string>{"hostile.psd"}, ListFolder(out.path()));
  }
}

// Tiny files that claim huge pictures, as inputs and as the watermark picture, each run under a
// limit of address space and of processor time: every one is refused from its headers and the
// memory estimate before any row is decoded, so the run neither aborts on a failed allocation
// nor runs out its time, and never reports success.
TEST(HostileBmp, TinyFilesClaimingHugePicturesAreRefusedFirst) {
  RunLimits limits;
  limits.cpuSeconds = 30;
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  limits.addressSpaceBytes = uint64_t{1} << 30;  // the sanitizers reserve more than this
#endif
  // The watermark picture fuzzing found: RLE4, 1250262272 x 3 pixels in 70 bytes.
  const std::vector<uint8_t> fuzzedMark = {
      0x42, 0x4d, 0x66, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00,
      0x00, 0x7d, 0x85, 0x4a, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x04, 0x00, 0x02, 0x00, 0x00, 0x00, 0x30, 0x09,
      0x00, 0x00, 0x36, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x3a, 0x3a,
      0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a, 0x3a};
  ASSERT_EQ(70u, fuzzedMark.size());
  struct Case {
    const char* why;
    std::vector<uint8_t> input;
    std::vector<uint8_t> mark;  // written as mark.bmp or mark.png when not empty
    std::vector<std::string> options;
    bool validPicture = false;  // refused for the memory limit alone: skipped without the limit
  };
  const std::vector<uint8_t> small = WriteBmp(Picture(24));
  const Case kCases[] = {
      {"RLE8 of 1 x 536870911 in 60 bytes", Rle8(1, 536870911, {0, 1}), {}, {}},
      {"RLE4 of 6 x 268435459", Rle4({0, 1}, 6, 268435459), {}, {}},
      {"RLE4 of 6 x 268435459 to be resized to 40 x 30", Rle4({0, 1}, 6, 268435459), {},
       {"--width=40", "--height=30"}, true},
      {"RLE4 of 6 x 268435459 turned by 30 degrees", Rle4({0, 1}, 6, 268435459), {},
       {"--rotation=30", "--width=40", "--height=30"}},
      {"RLE8 of 30000 x 30000 turned by 45 degrees", Rle8(30000, 30000, {0, 1}), {}, {"--rotation=45"}},
      {"the fuzzed RLE4 watermark picture", small, fuzzedMark, {}},
      {"RLE8 watermark picture of 29000 x 29000", small, Rle8(29000, 29000, {0, 1}), {}, true},
      {"PNG watermark picture of 30000 x 30000", small, PngClaiming(30000, 30000), {}},
      {"PNG64 watermark picture of 20000 x 20000 turned", small, PngClaiming(20000, 20000, 16, 6),
       {"--wm-image-rotation=45"}},
  };
  ScratchDir home;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    if (c.validPicture && limits.addressSpaceBytes == 0) continue;
    ScratchDir out;
    ASSERT_TRUE(WriteBytes(home / "hostile.bmp", c.input));
    std::vector<std::string> args = {"-i", home / "hostile.bmp", "-o", out.path()};
    if (!c.mark.empty()) {
      const std::string mark = home / (c.mark[0] == 'B' ? "mark.bmp" : "mark.png");
      ASSERT_TRUE(WriteBytes(mark, c.mark));
      args.push_back("--wm-image=" + mark);
    }
    args.insert(args.end(), c.options.begin(), c.options.end());
    const RunResult run = RunRavelin(args, home, "", limits);
    EXPECT_EQ(0, run.exitCode) << "killed by a signal, or ended by a failed allocation";
    ASSERT_FALSE(run.lines.empty());
    EXPECT_NE("Conversion complete", run.lines.back());
    EXPECT_TRUE(ListFolder(out.path()).empty());
  }
}

}  // namespace
}  // namespace ravelin::test
