#include "chat_file.h"

#include <cstdio>

#include "gbk_codec.h"

namespace chat {
namespace {

#ifdef _WIN32
std::wstring WidePath(const std::string& path) {
  const std::u16string w = GbkToWide(path);
  return std::wstring(w.begin(), w.end());
}
#endif

int RemoveFile(const std::string& path) {
#ifdef _WIN32
  return _wremove(WidePath(path).c_str());
#else
  return std::remove(path.c_str());
#endif
}

int RenameFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  return _wrename(WidePath(from).c_str(), WidePath(to).c_str());
#else
  return std::rename(from.c_str(), to.c_str());
#endif
}

}  // namespace

FILE* OpenChatFile(const std::string& path, const char* mode) {
  if (path.empty()) return nullptr;
#ifdef _WIN32
  const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(WidePath(path).c_str(), wide_mode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

bool ChatFileExists(const std::string& path) {
  FILE* f = OpenChatFile(path, "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

ReadResult ReadWholeFile(const std::string& path, size_t max_bytes, std::vector<uint8_t>& out) {
  out.clear();
  FILE* f = OpenChatFile(path, "rb");
  if (!f) return ReadResult::kMissing;
  // A file whose size is known to be too large is refused before any of it is read.
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long size = std::ftell(f);
    if (size > 0 && static_cast<unsigned long>(size) > max_bytes) {
      std::fclose(f);
      return ReadResult::kTooLarge;
    }
  }
  if (std::fseek(f, 0, SEEK_SET) != 0) {
    std::fclose(f);
    return ReadResult::kError;
  }
  ReadResult result = ReadResult::kOk;
  uint8_t chunk[4096];
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, f);
    if (out.size() + n > max_bytes) {
      result = ReadResult::kTooLarge;
      break;
    }
    out.insert(out.end(), chunk, chunk + n);
    if (n < sizeof chunk) {
      if (std::ferror(f)) result = ReadResult::kError;
      break;
    }
  }
  std::fclose(f);
  if (result != ReadResult::kOk) out.clear();
  return result;
}

bool ReplaceFileContents(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (path.empty()) return false;
  const std::string fresh = path + ".new";
  FILE* f = OpenChatFile(fresh, "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) {
    RemoveFile(fresh);
    return false;
  }
  RemoveFile(path);  // rename does not replace an existing file on Windows
  if (RenameFile(fresh, path) != 0) return false;
  return true;
}

}  // namespace chat
