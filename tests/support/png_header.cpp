#include "tests/support/png_header.h"

#include <string>

namespace ravelin::test {
namespace {

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void Put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out->insert(out->end(), typed.begin(), typed.end());
  Put32(out, Crc32(typed.data(), typed.size()));
}

}  // namespace

std::vector<uint8_t> PngClaiming(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Put32(&header, width);
  Put32(&header, height);
  header.insert(header.end(), {bitDepth, colourType, 0, 0, 0});
  Chunk(&png, "IHDR", header);
  Chunk(&png, "IDAT", {});
  Chunk(&png, "IEND", {});
  return png;
}

}  // namespace ravelin::test
