// What the chat control's Windows tests share: the installation directory in the registry
// (saved and put back), a scratch folder, and a driver that answers modal dialogs from a thread
// timer while their loop runs.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace parley::testing {

// Sets HKLM\SoftWare\Marrowby AppPath (or removes the key when value is null) and puts the
// earlier state back at the end.
class AppPathOverride {
 public:
  explicit AppPathOverride(const wchar_t* value);
  ~AppPathOverride();

 private:
  bool had_value_ = false;
  std::wstring old_value_;
};
bool AppPathKeyExists();

// A fresh folder (GBK path) removed at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::wstring& Wide() const { return path_; }
  std::string Path() const;
  std::string Read(const std::wstring& name) const;
  void Write(const std::wstring& name, const std::string& bytes) const;
  bool Exists(const std::wstring& name) const;

 private:
  std::wstring path_;
};

// Steps run one per timer tick (every 30 ms) on the test's thread, also inside modal loops.
class DialogDriver {
 public:
  DialogDriver();
  ~DialogDriver();
  void Then(std::function<void()> step) { steps_.push_back(std::move(step)); }
  // A step that waits (up to about 3 s) for a dialog of this thread owned by owner (any when
  // null) and is given it; a dialog that never comes fails the test.
  void ThenDialog(HWND owner, std::function<void(HWND)> step);
  bool Done() const { return steps_.empty(); }

 private:
  void ThenDialogRetry(HWND owner, std::function<void(HWND)> step, std::shared_ptr<int> tries);
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  static DialogDriver* current_;
  std::deque<std::function<void()>> steps_;
  UINT_PTR timer_ = 0;
  bool running_ = false;
};

// The enabled, visible top-level dialog window of this thread owned by owner (any when null).
HWND FindThreadDialog(HWND owner = nullptr, HWND besides = nullptr);
void Click(HWND dialog, int id);

}  // namespace parley::testing
