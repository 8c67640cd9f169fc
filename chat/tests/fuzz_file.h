// The fuzz input as a file in a folder of this process, for the readers that open files.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <string>

namespace chat::testing {

inline std::string FuzzDirectory() {
  static const std::string dir = [] {
    char name[] = "/tmp/chat_fuzz_XXXXXX";
    const char* made = mkdtemp(name);
    return std::string(made ? made : "/tmp") + "/";
  }();
  return dir;
}

inline void WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size) {
  FILE* f = std::fopen((FuzzDirectory() + name).c_str(), "wb");
  if (!f) return;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace chat::testing
