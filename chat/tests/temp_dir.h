// A fresh directory under the system's temporary folder for one test, removed afterwards.
#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace chat::testing {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    m_path = std::filesystem::temp_directory_path() /
             ("chat_test_" + std::to_string(rd()) + "_" + std::to_string(rd()));
    std::filesystem::create_directories(m_path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  // The directory with its trailing separator.
  std::string Dir() const { return m_path.string() + "/"; }
  std::string File(const std::string& name) const { return (m_path / name).string(); }
  void Write(const std::string& relative, const std::string& bytes) const {
    const auto path = m_path / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream f(m_path / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }

 private:
  std::filesystem::path m_path;
};

}  // namespace chat::testing
