// The hand-record files on the file system: a file is replaced whole through its ".part" twin,
// a failed write leaves the old file as it was, and reading stops at what no record comes near.
#include "hand_record_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string TempFolder() {
  char path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, path);
  std::string folder = std::string(path) + "korvel_records_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(WinRecordFiles, WritesWholeFilesAndReadsThemBack) {
  WinRecordFiles files;
  const std::string path = TempFolder() + "\\hand.mjr";
  DeleteFileA(path.c_str());

  const std::vector<uint8_t> first = {1, 2, 3, 0, 255};
  ASSERT_TRUE(files.WriteFile(path, first));
  EXPECT_FALSE(Exists(path + ".part"));
  std::vector<uint8_t> read;
  ASSERT_TRUE(files.ReadFile(path, read));
  EXPECT_EQ(read, first);

  // A second save replaces the file.
  const std::vector<uint8_t> second(70000, 7);
  ASSERT_TRUE(files.WriteFile(path, second));
  ASSERT_TRUE(files.ReadFile(path, read));
  EXPECT_EQ(read, second);

  // An empty file reads as no bytes.
  ASSERT_TRUE(files.WriteFile(path, {}));
  read = first;
  ASSERT_TRUE(files.ReadFile(path, read));
  EXPECT_TRUE(read.empty());
  DeleteFileA(path.c_str());
}

TEST(WinRecordFiles, FailuresLeaveWhatWasThere) {
  WinRecordFiles files;
  const std::string folder = TempFolder();
  const std::string path = folder + "\\kept.mjr";
  ASSERT_TRUE(files.WriteFile(path, {9, 9}));

  // A folder that does not exist cannot be written to; nothing is read from a missing file.
  EXPECT_FALSE(files.WriteFile(folder + "\\no such folder\\x.mjr", {1}));
  std::vector<uint8_t> read = {5};
  EXPECT_FALSE(files.ReadFile(folder + "\\missing.mjr", read));
  EXPECT_EQ(read, std::vector<uint8_t>{5});
  EXPECT_FALSE(files.ReadFile("", read));
  EXPECT_FALSE(files.WriteFile("", {1}));

  // A file held open without sharing cannot be replaced; it keeps its bytes.
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files.WriteFile(path, {1, 2, 3}));
  CloseHandle(held);
  EXPECT_FALSE(Exists(path + ".part"));
  ASSERT_TRUE(files.ReadFile(path, read));
  EXPECT_EQ(read, (std::vector<uint8_t>{9, 9}));
  DeleteFileA(path.c_str());
}

TEST(WinRecordFiles, AFileAboveTheCapIsNotRead) {
  WinRecordFiles files;
  const std::string path = TempFolder() + "\\large.mjr";
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(WinRecordFiles::kMaxFileSize) + 1;
  ASSERT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(h));
  CloseHandle(h);
  std::vector<uint8_t> read;
  EXPECT_FALSE(files.ReadFile(path, read));
  EXPECT_TRUE(read.empty());
  DeleteFileA(path.c_str());
}

}  // namespace
