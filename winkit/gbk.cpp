#include "winkit/gbk.h"

#include <windows.h>

namespace winkit {

namespace {
constexpr UINT kGbkCodePage = 936;
}

std::wstring GbkToWide(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int size = static_cast<int>(gbk.size());
  const int n = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), size, out.data(), n);
  return out;
}

std::string WideToGbk(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n =
      WideCharToMultiByte(kGbkCodePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace winkit
