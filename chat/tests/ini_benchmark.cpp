// Speed of reading a settings file: the sixty-odd keys the chat's skin reads from a style's
// "config.ini", the keys at its end behind lines of padding, for files of several sizes (the
// largest above the size a settings file may have).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "ini_file.h"

namespace {

// The files, in a folder of this process that goes when the process ends.
struct BenchFolder {
  std::filesystem::path path = std::filesystem::temp_directory_path() /
                               ("chat_ini_bench_" + std::to_string(::getpid()));
  BenchFolder() { std::filesystem::create_directories(path); }
  ~BenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

std::string Folder() {
  static const BenchFolder folder;
  return folder.path.string() + "/";
}

std::string MakeFile(size_t bytes) {
  const std::string name = "config-" + std::to_string(bytes) + ".ini";
  const std::string path = Folder() + name;
  if (!std::filesystem::exists(path)) {
    std::string keys;
    for (int k = 0; k < 64; ++k) keys += "key" + std::to_string(k) + "=10,20,30\r\n";
    // Lines of padding, written a block at a time.
    const std::string line = ";" + std::string(78, '-') + "\r\n";
    std::string block;
    while (block.size() + line.size() <= (64u << 10)) block += line;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fputs("[mainwnd]\r\n", f);
      size_t written = 11;
      while (written + block.size() + keys.size() <= bytes) {
        std::fwrite(block.data(), 1, block.size(), f);
        written += block.size();
      }
      while (written + line.size() + keys.size() <= bytes) {
        std::fwrite(line.data(), 1, line.size(), f);
        written += line.size();
      }
      std::fwrite(keys.data(), 1, keys.size(), f);
      std::fclose(f);
    }
  }
  return name;
}

void BM_ReadSkinKeys(benchmark::State& state) {
  const std::string name = MakeFile(static_cast<size_t>(state.range(0)));
  const std::string dir = Folder();
  for (auto _ : state) {
    chat::CIniFile ini;
    ini.SetPath(dir);
    ini.SetFileName(name);
    uint32_t color = 0;
    if (ini.OpenRead()) {
      for (int k = 0; k < 64; ++k) ini.ReadColor("mainwnd", "key" + std::to_string(k), color);
    }
    benchmark::DoNotOptimize(color);
  }
}
BENCHMARK(BM_ReadSkinKeys)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Arg(4 << 20)
    ->Arg(100 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
