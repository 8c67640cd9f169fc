// A picture stretched by the table's own code instead of GDI+, whose stretch resamples pixel by
// pixel through generic code and takes most of a first showing where it is emulated.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace table {

// A picture as premultiplied 32-bit ARGB pixels (alpha in the top byte), rows packed.
struct PremultipliedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  bool Empty() const {
    return width < 1 || height < 1 || pixels.size() < static_cast<std::size_t>(width) * height;
  }
};

// Scales `source` (sw x sh pixels, sw a row) into `target` (dw x dh pixels, dw a row) with
// bilinear filtering in fixed point: target pixel (x, y) samples the source at
// (x * sw / dw, y * sh / dh), so the top left corners meet and a picture of the same size comes
// out unchanged; past the last column or row the edge pixel repeats. Works on each of the four
// bytes alike, so premultiplied pixels stay premultiplied. Does nothing when a size is below 1.
void ScaleBilinear(const uint32_t* source, int sw, int sh, uint32_t* target, int dw, int dh);

// Premultiplied pixels laid over black, as GDI keeps a 32-bit RGB picture: the colour bytes stay,
// the alpha byte is cleared.
void LayOverBlack(uint32_t* pixels, std::size_t count);

}  // namespace table
