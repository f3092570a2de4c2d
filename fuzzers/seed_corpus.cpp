// Writes the seed corpora of the fuzz targets: `seed_corpus FOLDER` fills FOLDER/TARGET/ with
// small inputs that reach each target's main paths (every kind of BMP the loader takes, small
// PNG and JPEG pictures, settings files, command lines, masks, signatures). The seeds are
// committed under fuzzers/corpus/; run this again when a seed is added here.
#include <FreeImage.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/bmp_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;
using ravelin::test::BmpSpec;
using ravelin::test::Rgba;
using ravelin::test::WriteBmp;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::vector<uint32_t> Pattern(int width, int height, const std::vector<uint32_t>& colours) {
  std::vector<uint32_t> pixels;
  for (int i = 0; i < width * height; ++i) pixels.push_back(colours[(i * 7 + i / width) % colours.size()]);
  return pixels;
}

std::vector<std::pair<std::string, Bytes>> BmpSeeds() {
  const std::vector<uint32_t> four = {Rgba(255, 0, 0), Rgba(0, 255, 0), Rgba(0, 0, 255), Rgba(250, 250, 250)};
  std::vector<std::pair<std::string, Bytes>> seeds;
  auto add = [&](const std::string& name, BmpSpec spec) {
    if (spec.pixels.empty()) spec.pixels = Pattern(spec.width, spec.height, spec.palette.empty() ? four : spec.palette);
    seeds.emplace_back(name, WriteBmp(spec));
  };
  BmpSpec rgb;
  rgb.width = 5;
  rgb.height = 3;
  add("rgb24.bmp", rgb);
  BmpSpec topDown = rgb;
  topDown.topDown = true;
  topDown.bpp = 32;
  add("topdown32.bmp", topDown);
  BmpSpec core = rgb;
  core.headerSize = 12;
  core.bpp = 8;
  core.palette = four;
  add("core8.bmp", core);
  BmpSpec mono;
  mono.width = 9;
  mono.height = 2;
  mono.bpp = 1;
  mono.palette = {Rgba(0, 0, 0), Rgba(255, 255, 255)};
  add("mono1.bmp", mono);
  BmpSpec rle8 = rgb;
  rle8.bpp = 8;
  rle8.compression = ravelin::test::kBmpRle8;
  rle8.palette = four;
  add("rle8.bmp", rle8);
  BmpSpec rle4 = rle8;
  rle4.bpp = 4;
  rle4.compression = ravelin::test::kBmpRle4;
  rle4.width = 6;
  add("rle4.bmp", rle4);
  BmpSpec bits565 = rgb;
  bits565.bpp = 16;
  bits565.compression = ravelin::test::kBmpBitFields;
  bits565.masks = {0xF800, 0x07E0, 0x001F, 0};
  add("bitfields565.bmp", bits565);
  BmpSpec alpha = rgb;
  alpha.bpp = 32;
  alpha.headerSize = 124;
  alpha.compression = ravelin::test::kBmpBitFields;
  alpha.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  alpha.pixels = Pattern(5, 3, {Rgba(255, 0, 0, 128), Rgba(0, 255, 0, 0), Rgba(0, 0, 255, 255)});
  add("v5alpha32.bmp", alpha);
  BmpSpec os2 = rgb;
  os2.headerSize = 64;
  os2.bpp = 4;
  os2.palette = four;
  add("os2v2_4.bmp", os2);
  return seeds;
}

Bytes Picture(FREE_IMAGE_FORMAT format, unsigned bpp) {
  FIBITMAP* bitmap = FreeImage_Allocate(6, 4, static_cast<int>(bpp));
  for (unsigned y = 0; y < 4; ++y) {
    for (unsigned x = 0; x < 6; ++x) {
      RGBQUAD c{static_cast<BYTE>(x * 40), static_cast<BYTE>(y * 60), 128, static_cast<BYTE>(x * 50)};
      FreeImage_SetPixelColor(bitmap, x, y, &c);
    }
  }
  FIMEMORY* memory = FreeImage_OpenMemory();
  FreeImage_SaveToMemory(format, bitmap, memory, 0);
  BYTE* data = nullptr;
  DWORD size = 0;
  FreeImage_AcquireMemory(memory, &data, &size);
  Bytes bytes(data, data + size);
  FreeImage_CloseMemory(memory);
  FreeImage_Unload(bitmap);
  return bytes;
}

bool Write(const std::string& folder, const std::string& name, const Bytes& bytes) {
  mkdir(folder.c_str(), 0755);
  FILE* file = std::fopen((folder + "/" + name).c_str(), "wb");
  if (file == nullptr) return false;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: seed_corpus FOLDER\n");
    return 2;
  }
  const std::string top = argv[1];
  mkdir(top.c_str(), 0755);
  bool ok = true;
  const auto bmps = BmpSeeds();
  for (const auto& [name, bytes] : bmps) ok &= Write(top + "/bmp_conversion", name, bytes);

  const std::string marks = top + "/watermark_image";
  ok &= Write(marks, "mark32.png", Picture(FIF_PNG, 32));
  ok &= Write(marks, "mark24.jpg", Picture(FIF_JPEG, 24));
  ok &= Write(marks, "mark.bmp", bmps.front().second);

  const std::string settings = top + "/settings_files";
  ok &= Write(settings, "profile.ini", Text("[CLI]\r\n--ROTATION=90\r\n--WIDTH=50\r\n--WM-TEXT=%filename%\r\n"));
  ok &= Write(settings, "config.ini",
              Text("\xEF\xBB\xBF[Settings]\r\nCFG = 1\r\n[Transform]\r\nDo Image Rotation = 1\r\n"
                   "Image Rotation = 45\r\n[Adjustment]\r\nImage Gamma = 2.5\r\n[Watermark]\r\n"
                   "Text = caf\xC3\xA9\r\nFont Size = 20\r\n[Advanced]\r\nFilename Mask = %n%_%filename%\r\n"));
  ok &= Write(settings, "latin1.ini", Text("[Watermark]\nText=caf\xE9\n; comment\nFont Colors=FF0000,00FF00\n"));

  const std::string line = top + "/command_line";
  ok &= Write(line, "convert", Text("-i\nin.bmp\n-o\nout\n--ROTATION=90\n-d"));
  ok &= Write(line, "profile", Text("--profile=profile.ini\n-i\nin.bmp\n-q"));
  ok &= Write(line, "quoted", Text("-i\n\"in\nname.bmp\"\n--WM-TEXT=\"two\nwords\"\n-p"));
  ok &= Write(line, "help", Text("--help"));
  ok &= Write(line, "version", Text("-v"));
  ok &= Write(line, "missing", Text("-i\n--OUTPUT"));
  ok &= Write(line, "list", Text("-i\nlist.txt\n--WM-IMAGE=mark.png"));

  const std::string masks = top + "/filename_mask";
  ok &= Write(masks, "default", Text("%filename%.%ext%\nin/Photo.bmp\npsd\n\x01\x02\x03\x04"));
  ok &= Write(masks, "tokens", Text("IMG_%N%_%Filename[T]%_%width%x%height%_%yyyy%%mm%%dd%%rnd%.%EXT[U]%\n"
                                    "\xC3\xA9t\xC3\xA9.Bmp\npsd\nsub/\x10\x20\x30\x41"));
  ok &= Write(masks, "nested", Text("%filename%%filename[u]%\na%ext%b%n%.bmp\n\n\n"));

  const std::string signatures = top + "/signatures";
  ok &= Write(signatures, "bmp", bmps.front().second);
  ok &= Write(signatures, "png", Picture(FIF_PNG, 24));
  ok &= Write(signatures, "psd", Text(std::string("8BPS\0\1\0\0\0\0\0\0\0\4", 14)));
  ok &= Write(signatures, "tiff", Text(std::string("II*\0\x10\0\0\0CR\2\0", 12)));
  ok &= Write(signatures, "short", Text("B"));
  return ok ? 0 : 1;
}
