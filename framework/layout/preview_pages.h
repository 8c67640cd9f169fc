// The paged grid of pictures in the magic-action picker: cells, pages, the item under a
// point and the tooltip ids of a page.
#pragma once
#include <cstdint>

#include "geometry.h"

namespace layout {

class PreviewPages {
 public:
  // A grid of cells of cell_w x cell_h in an area of w x h (at least 1 x 1) over `items`.
  void SetItems(int32_t items, int32_t w, int32_t h, int16_t cell_w, int16_t cell_h);
  // The grid of a client area of w x h (re-read when a page is shown; no minimum).
  void SetArea(int32_t w, int32_t h);
  // False (and the page set to 0 or the last) when there is no page to go to.
  bool PrevPage();
  bool NextPage();

  int32_t PerPage() const { return int32_t{rows_} * columns_; }
  int32_t PageStart() const { return int32_t{page_} * PerPage(); }
  // The cell under a point, -1 none; the item is that plus PageStart().
  int16_t CellAt(Point p) const;
  int32_t ItemAt(Point p) const;
  Rect CellRect(int32_t cell) const;
  // Tool ids of the current page: PageStart() + 1 to PageStart() + PerPage().
  uint32_t FirstToolId() const { return static_cast<uint32_t>(PageStart()) + 1; }

  int16_t columns() const { return columns_; }
  int16_t rows() const { return rows_; }
  int16_t page() const { return page_; }
  int16_t page_count() const { return page_count_; }
  int32_t items() const { return items_; }

 private:
  int16_t columns_ = 0, rows_ = 0;
  int16_t cell_w_ = 0, cell_h_ = 0;
  int16_t page_ = 0, page_count_ = 0;
  int32_t items_ = 0;
};

}  // namespace layout
