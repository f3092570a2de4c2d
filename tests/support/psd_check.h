// Reading a written PSD back for the tests: the colours through ImageMagick (an independent
// reader), and the fourth plane (transparency), which ImageMagick ignores in a flat document,
// straight from the file's raw planes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ravelin::test {

struct RgbImage {
  unsigned width = 0;
  unsigned height = 0;
  std::vector<uint8_t> rgb;  // top row first, three bytes a pixel
};

// Decodes any picture file ImageMagick reads; false when it cannot.
bool DecodeWithImageMagick(const std::string& path, RgbImage* image);

// The channel count, size and the fourth plane of an uncompressed PSD; false when the file
// is not such a document.
bool ReadPsdAlpha(const std::string& path, unsigned* width, unsigned* height, std::vector<uint8_t>* alpha);

}  // namespace ravelin::test
