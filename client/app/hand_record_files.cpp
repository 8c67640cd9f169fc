#include "hand_record_files.h"

#include <commdlg.h>

#include <utility>

#include "winkit/gbk.h"
#include "winkit/late_bound.h"

namespace {

// Closes a file handle when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (Valid()) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE Get() const { return h_; }
  // Closes now; false when closing failed (the last writes may not have reached the file).
  bool Close() {
    const bool ok = !Valid() || CloseHandle(h_) != FALSE;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

bool WriteAll(HANDLE file, const std::vector<uint8_t>& bytes) {
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t left = bytes.size() - at;
    const DWORD chunk = left > 0x100000 ? 0x100000 : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + at, chunk, &written, nullptr) || written == 0) return false;
    at += written;
  }
  return true;
}

}  // namespace

std::string WinRecordFiles::AskSavePath() {
  char directory[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, directory);
  const bool haveDirectory = n > 0 && n < MAX_PATH;

  char file[MAX_PATH] = {};
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = "*.mjr\0*.mjr\0*.*\0*.*\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrDefExt = "mjr";
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
  // The dialog library is loaded when a hand is first saved.
  static const auto save =
      winkit::LateBound<decltype(GetSaveFileNameA)>(L"comdlg32.dll", "GetSaveFileNameA");
  const BOOL chosen = save ? save(&ofn) : FALSE;

  if (haveDirectory) SetCurrentDirectoryA(directory);
  if (!chosen) return {};
  return file;
}

bool WinRecordFiles::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (path.empty()) return false;
  const std::string part = path + ".part";
  FileHandle file(CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  const bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get()) != FALSE;
  const bool closed = file.Close();
  if (!written || !closed ||
      !MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(part.c_str());
    return false;
  }
  return true;
}

bool WinRecordFiles::ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
  if (path.empty()) return false;
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > kMaxFileSize) {
    return false;
  }
  std::vector<uint8_t> in(static_cast<size_t>(size.QuadPart));
  size_t at = 0;
  while (at < in.size()) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), in.data() + at, static_cast<DWORD>(in.size() - at), &got, nullptr) ||
        got == 0) {
      return false;
    }
    at += got;
  }
  bytes = std::move(in);
  return true;
}

void WinRecordFiles::ShowMessage(const char* text) {
  MessageBoxW(owner_, winkit::GbkToWide(text ? text : "").c_str(), L"KorvelGame",
              MB_OK | MB_ICONINFORMATION);
}
