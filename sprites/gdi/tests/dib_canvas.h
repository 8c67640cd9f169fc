// A 32-bit DIB section selected into a memory DC, read back by pixel; and synthetic tile
// bitmaps whose colours say where every pixel came from.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace sprites::testing {

// 0xRRGGBB of a COLORREF.
inline uint32_t Rgb(COLORREF c) {
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

inline HBITMAP MakeDib(int w, int h, uint32_t** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* p = nullptr;
  HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = static_cast<uint32_t*>(p);
  return b;
}

// A bitmap of w x h whose pixel (x, y) is colour(x, y) (0xRRGGBB).
inline HBITMAP PaintedBitmap(int w, int h, const std::function<uint32_t(int, int)>& colour) {
  uint32_t* bits = nullptr;
  HBITMAP b = MakeDib(w, h, &bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bits[y * w + x] = colour(x, y);
  return b;
}

class Canvas {
 public:
  Canvas(int w, int h, uint32_t fill = 0x123456) : m_w(w), m_h(h) {
    m_bitmap = MakeDib(w, h, &m_bits);
    m_dc = CreateCompatibleDC(nullptr);
    m_old = SelectObject(m_dc, m_bitmap);
    for (int i = 0; i < w * h; ++i) m_bits[i] = fill;
  }
  ~Canvas() {
    SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
    DeleteObject(m_bitmap);
  }
  HDC dc() const { return m_dc; }
  uint32_t At(int x, int y) const {
    GdiFlush();
    return m_bits[y * m_w + x] & 0xFFFFFF;
  }
  // Writes the canvas as a 24-bit BMP file.
  bool Save(const std::string& path) const {
    GdiFlush();
    const int stride = (m_w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = m_w;
    ih.biHeight = m_h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = static_cast<DWORD>(stride * m_h);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::vector<uint8_t> row(static_cast<size_t>(stride));
    for (int y = m_h - 1; y >= 0; --y) {
      for (int x = 0; x < m_w; ++x) {
        const uint32_t p = m_bits[y * m_w + x];
        row[static_cast<size_t>(x * 3)] = p & 0xFF;
        row[static_cast<size_t>(x * 3 + 1)] = (p >> 8) & 0xFF;
        row[static_cast<size_t>(x * 3 + 2)] = (p >> 16) & 0xFF;
      }
      std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
  }

 private:
  int m_w, m_h;
  uint32_t* m_bits = nullptr;
  HBITMAP m_bitmap;
  HDC m_dc;
  HGDIOBJ m_old;
};

// Face sheets whose every cell has its own colour: 0x40 | column, row << 8 and 0xC0 in red.
inline uint32_t SheetCellColour(int column, int row) {
  return 0xC00000u | (static_cast<uint32_t>(row) << 12) | (static_cast<uint32_t>(column) << 4);
}

inline HBITMAP SyntheticSheet(int columns, int rows, int fw, int fh) {
  return PaintedBitmap(columns * fw, rows * fh,
                       [=](int x, int y) { return SheetCellColour(x / fw, y / fh); });
}

// An image-and-mask bitmap of a w x h picture in one colour whose 3 x 3 top-left corner is
// masked out.
constexpr uint32_t kFrameColour = 0xF0E8D0;
constexpr uint32_t kFaceDownColour = 0x208040;
inline HBITMAP SyntheticMasked(int w, int h, uint32_t colour) {
  return PaintedBitmap(2 * w, h, [=](int x, int y) -> uint32_t {
    if (x < w) return colour;
    return (x - w < 3 && y < 3) ? 0x000000 : 0xFFFFFF;
  });
}

}  // namespace sprites::testing
