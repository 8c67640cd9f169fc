// GDI+ for the table's drawing: the header wants min and max from somewhere.
#pragma once
#include <windows.h>
#include <objidl.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <string>

#include "sprite_layout.h"

namespace table_gdi {

inline RECT ToRect(const sprites::PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace table_gdi
