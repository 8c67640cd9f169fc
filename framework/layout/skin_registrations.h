// The windows a skin element repaints when the skin changes: pairs of (window, notification
// window) in registration order, each window at most once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace layout {

class SkinRegistrations {
 public:
  using Handle = uintptr_t;
  // Appends the pair unless the window is already registered.
  void Register(Handle window, Handle notify);
  // Removes the window's pair, keeping the order of the others; unknown windows change nothing.
  void Unregister(Handle window);
  // Appends every pair of `other`, in order (the element's own pairs stay).
  void Append(const SkinRegistrations& other);
  void Clear();

  size_t size() const { return windows_.size(); }
  bool empty() const { return windows_.empty(); }
  Handle window(size_t i) const { return windows_[i]; }
  Handle notify(size_t i) const { return notify_[i]; }

 private:
  std::vector<Handle> windows_;
  std::vector<Handle> notify_;
};

}  // namespace layout
