// A bitmap kept selected into a memory DC of its own: an off-screen picture drawn once and
// copied from between draws. The members are declared so that the selection is undone first,
// then the DC goes, then the bitmap.
#pragma once
#include <windows.h>

#include <utility>

#include "winkit/handle.h"

namespace table_gdi {

struct MemoryBitmap {
  // The DC is made compatible with `reference` (null: the screen).
  MemoryBitmap(HDC reference, winkit::UniqueBitmap picture)
      : bitmap(std::move(picture)),
        dc(CreateCompatibleDC(reference)),
        selection(dc.Get(), bitmap.Get()) {}

  HDC Dc() const { return dc.Get(); }

  winkit::UniqueBitmap bitmap;
  winkit::UniqueDc dc;
  winkit::SelectedObject selection;
};

}  // namespace table_gdi
