// The fuzz input as a file in a folder of this process (under $TMPDIR, else /tmp), for the
// readers that open files. The folder and what the target wrote into it are removed when the
// process ends normally (libFuzzer ends its runs with exit()).
#pragma once
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace chat::testing {

class FuzzFolder {
 public:
  FuzzFolder() {
    std::error_code ec;
    std::string name = (std::filesystem::temp_directory_path(ec) / "chat_fuzz_XXXXXX").string();
    if (!ec && mkdtemp(name.data())) m_path = name;
  }
  ~FuzzFolder() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  FuzzFolder(const FuzzFolder&) = delete;
  FuzzFolder& operator=(const FuzzFolder&) = delete;
  // The folder with its trailing separator; without one the readers find no file.
  std::string Path() const { return m_path.empty() ? "/nonexistent/" : m_path + "/"; }

 private:
  std::string m_path;
};

inline std::string FuzzDirectory() {
  static const FuzzFolder folder;
  return folder.Path();
}

inline void WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size) {
  FILE* f = std::fopen((FuzzDirectory() + name).c_str(), "wb");
  if (!f) return;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace chat::testing
