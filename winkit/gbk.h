// The system's texts are GBK bytes on the wire, in files and on screen, whatever the process's
// ANSI code page: these two turn them into the wide text a window shows and back, always through
// code page 936, so a player sees the same characters under any system locale.
#pragma once
#include <string>
#include <string_view>

namespace winkit {

// A GBK text as UTF-16; bytes that make no character become what the system maps them to.
std::wstring GbkToWide(std::string_view gbk);
// A wide text as GBK; characters without a GBK form become '?'.
std::string WideToGbk(std::wstring_view wide);

}  // namespace winkit
