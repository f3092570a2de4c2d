// Test fixture: a PNG that claims any size in a few bytes (signature, IHDR, an IDAT with no
// data, IEND, every chunk with its CRC). Its header reads like any other; decoding it fails.
#pragma once

#include <cstdint>
#include <vector>

namespace ravelin::test {

// colourType 2: RGB; 6: RGBA. bitDepth 8 or 16.
std::vector<uint8_t> PngClaiming(uint32_t width, uint32_t height, uint8_t bitDepth = 8,
                                 uint8_t colourType = 6);

}  // namespace ravelin::test
