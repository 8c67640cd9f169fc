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

// A GBK text as UTF-16 (the system's texts are GBK whatever the process's code page is).
inline std::wstring FromGbk(const std::string& gbk) {
  if (gbk.empty()) return {};
  const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), out.data(), n);
  return out;
}

inline RECT ToRect(const sprites::PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace table_gdi
