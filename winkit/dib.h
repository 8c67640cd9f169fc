// The 32-bit top-down DIB section the drawing code uses for its off-screen pictures (one BGRA
// word a pixel, rows from the top, `width * 4` bytes a row).
#pragma once
#include <windows.h>

namespace winkit {

// A width x height DIB section; its bits in *bits when asked for. Null when either size is not
// positive or the system has no room for it.
inline HBITMAP CreateTopDownDib32(int width, int height, void** bits = nullptr) {
  if (bits) *bits = nullptr;
  if (width <= 0 || height <= 0) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* ignored = nullptr;
  return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits ? bits : &ignored, nullptr, 0);
}

}  // namespace winkit
