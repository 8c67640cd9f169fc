// Plain rectangles and points of the window kit's layouts, in client pixels. No platform
// header: the window side copies them into its own RECT and POINT.
#pragma once
#include <cstdint>

namespace layout {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  static constexpr Rect At(int32_t x, int32_t y, int32_t w, int32_t h) {
    return Rect{x, y, x + w, y + h};
  }
  constexpr int32_t Width() const { return right - left; }
  constexpr int32_t Height() const { return bottom - top; }
  constexpr bool Empty() const { return right <= left || bottom <= top; }
  // Right and bottom edges are outside, as for the platform's rectangles.
  constexpr bool Contains(Point p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace layout
