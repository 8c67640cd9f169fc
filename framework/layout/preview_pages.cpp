#include "preview_pages.h"

#include <algorithm>

namespace layout {

void PreviewPages::SetItems(int32_t items, int32_t w, int32_t h, int16_t cell_w, int16_t cell_h) {
  cell_w_ = cell_w;
  cell_h_ = cell_h;
  columns_ = static_cast<int16_t>(std::max<int32_t>(cell_w > 0 ? w / cell_w : 1, 1));
  rows_ = static_cast<int16_t>(std::max<int32_t>(cell_h > 0 ? h / cell_h : 1, 1));
  items_ = std::max<int32_t>(items, 0);
  page_ = 0;
  const int32_t per = PerPage();
  page_count_ = static_cast<int16_t>(items_ <= per ? 1 : items_ / per + (items_ % per ? 1 : 0));
}

void PreviewPages::SetArea(int32_t w, int32_t h) {
  if (cell_w_ <= 0 || cell_h_ <= 0) return;
  columns_ = static_cast<int16_t>(w / cell_w_);
  rows_ = static_cast<int16_t>(h / cell_h_);
}

bool PreviewPages::PrevPage() {
  if (page_ <= 0 || page_count_ < 2) {
    page_ = 0;
    return false;
  }
  --page_;
  return true;
}

bool PreviewPages::NextPage() {
  if (page_ >= page_count_ - 1) {
    page_ = static_cast<int16_t>(std::max(page_count_ - 1, 0));
    return false;
  }
  ++page_;
  return true;
}

Rect PreviewPages::CellRect(int32_t cell) const {
  if (columns_ <= 0 || rows_ <= 0 || cell < 0 || cell >= PerPage()) return Rect{};
  const int32_t r = cell / columns_, c = cell % columns_;
  return Rect::At(c * cell_w_, r * cell_h_, cell_w_, cell_h_);
}

int16_t PreviewPages::CellAt(Point p) const {
  if (columns_ <= 0 || rows_ <= 0) return -1;
  for (int32_t i = 0; i < PerPage(); ++i)
    if (CellRect(i).Contains(p)) return static_cast<int16_t>(i);
  return -1;
}

int32_t PreviewPages::ItemAt(Point p) const {
  const int16_t cell = CellAt(p);
  return cell < 0 ? -1 : cell + PageStart();
}

}  // namespace layout
