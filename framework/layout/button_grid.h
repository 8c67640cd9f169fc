// The geometry and the hover state of a strip of image buttons: one picture of the whole
// strip cut into a grid of equal cells, one cell per button, numbered row by row.
#pragma once
#include <cstdint>

#include "geometry.h"

namespace layout {

// Cells of a strip picture of `width` x `height` cut into `columns` x `rows`. A cell is
// width / columns by height / rows (remainders dropped: the last pixels of a row or column
// belong to no button).
struct ButtonGrid {
  int32_t width = 0;
  int32_t height = 0;
  int16_t columns = 0;
  int16_t rows = 0;

  int32_t CellCount() const;
  int32_t CellWidth() const;
  int32_t CellHeight() const;
  // The rectangle of cell `index` (row-major); empty when the index is out of the grid.
  Rect CellRect(int32_t index) const;
  // The button under `p`, -1 when none (also when the grid has no columns or rows).
  int16_t HitTest(Point p) const;
};

// What the strip does with the pointer: which button is highlighted and whether a leave
// notification has been asked for.
class StripHover {
 public:
  // What one mouse move asks of the window: ask for a leave notification and repaint.
  enum class Move { kNothing, kTrackAndRepaint };

  // `left_down`: the left button is held; `over_strip`: the window under the pointer is the
  // strip; `thread_active`: a window of the thread is active; `index`: the button under the
  // pointer (-1 none).
  Move OnMouseMove(bool left_down, bool over_strip, bool thread_active, int16_t index);
  // The pointer left, or the strip lost the focus: no hover, no tracking.
  void Reset();

  int16_t hover() const { return hover_; }
  bool tracking() const { return tracking_; }

 private:
  int16_t hover_ = -1;
  bool tracking_ = false;
};

}  // namespace layout
