#include "button_grid.h"

namespace layout {

int32_t ButtonGrid::CellCount() const {
  if (columns <= 0 || rows <= 0) return 0;
  return int32_t{columns} * rows;
}

int32_t ButtonGrid::CellWidth() const { return columns > 0 && width > 0 ? width / columns : 0; }

int32_t ButtonGrid::CellHeight() const { return rows > 0 && height > 0 ? height / rows : 0; }

Rect ButtonGrid::CellRect(int32_t index) const {
  if (index < 0 || index >= CellCount()) return Rect{};
  const int32_t w = CellWidth(), h = CellHeight();
  const int32_t r = index / columns, c = index % columns;
  return Rect{c * w, r * h, (c + 1) * w, (r + 1) * h};
}

int16_t ButtonGrid::HitTest(Point p) const {
  const int32_t n = CellCount();
  for (int32_t i = 0; i < n; ++i)
    if (CellRect(i).Contains(p)) return static_cast<int16_t>(i);
  return -1;
}

StripHover::Move StripHover::OnMouseMove(bool left_down, bool over_strip, bool thread_active,
                                         int16_t index) {
  // A drag that started elsewhere does not light a button up.
  if (left_down && !tracking_) return Move::kNothing;
  if (!over_strip || !thread_active) return Move::kNothing;
  if (index == hover_ && tracking_) return Move::kNothing;
  tracking_ = true;
  hover_ = index;
  return Move::kTrackAndRepaint;
}

void StripHover::Reset() {
  tracking_ = false;
  hover_ = -1;
}

}  // namespace layout
