// The hand-record files on Windows: the system's save dialog, files written whole (into
// "<file>.part", then moved over the file, so a failed save never leaves half a record under
// the chosen name), files read whole up to a size no hand record comes near, and the plain
// message box.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mj_play_table_seams.h"

class WinRecordFiles : public IMjRecordFiles {
 public:
  // Files larger than this are not read.
  static constexpr size_t kMaxFileSize = size_t{16} << 20;

  // The window that owns the dialog and the message boxes (the table window); may be null.
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Owner() const { return owner_; }

  // The save dialog (overwrite prompt, "*.mjr" by default); the current directory is restored
  // afterwards, whatever folder the player browsed to.
  std::string AskSavePath() override;
  bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override;
  bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) override;
  void ShowMessage(const char* text) override;

 private:
  HWND owner_ = nullptr;
};
