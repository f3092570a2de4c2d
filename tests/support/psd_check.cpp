#include "tests/support/psd_check.h"

#include <cstdio>

#include "tests/support/scratch.h"

namespace ravelin::test {
namespace {

std::string Quote(const std::string& path) {
  std::string quoted = "'";
  for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string RunCommand(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

uint32_t Big32(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}
uint16_t Big16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>((b[at] << 8) | b[at + 1]);
}

}  // namespace

bool DecodeWithImageMagick(const std::string& path, RgbImage* image) {
  const std::string size = RunCommand("identify -format '%w %h' " + Quote(path) + "[0] 2>/dev/null");
  if (std::sscanf(size.c_str(), "%u %u", &image->width, &image->height) != 2) return false;
  const std::string raw = RunCommand("convert " + Quote(path) + "[0] -depth 8 rgb:- 2>/dev/null");
  if (raw.size() != size_t{image->width} * image->height * 3) return false;
  image->rgb.assign(raw.begin(), raw.end());
  return true;
}

bool ReadPsdAlpha(const std::string& path, unsigned* width, unsigned* height, std::vector<uint8_t>* alpha) {
  const std::vector<uint8_t> b = ReadBytes(path);
  if (b.size() < 26 || b[0] != '8' || b[1] != 'B' || b[2] != 'P' || b[3] != 'S') return false;
  const unsigned channels = Big16(b, 12);
  *height = Big32(b, 14);
  *width = Big32(b, 18);
  size_t at = 26;
  for (int section = 0; section < 3; ++section) {
    if (at + 4 > b.size()) return false;
    at += 4 + Big32(b, at);
  }
  if (channels < 4 || at + 2 > b.size() || Big16(b, at) != 0) return false;
  at += 2;
  const size_t plane = size_t{*width} * *height;
  if (at + plane * channels > b.size()) return false;
  alpha->assign(b.begin() + static_cast<long>(at + plane * 3), b.begin() + static_cast<long>(at + plane * 4));
  return true;
}

}  // namespace ravelin::test
