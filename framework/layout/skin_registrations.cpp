#include "skin_registrations.h"

#include <algorithm>

namespace layout {

void SkinRegistrations::Register(Handle window, Handle notify) {
  if (std::find(windows_.begin(), windows_.end(), window) != windows_.end()) return;
  windows_.push_back(window);
  notify_.push_back(notify);
}

void SkinRegistrations::Unregister(Handle window) {
  auto it = std::find(windows_.begin(), windows_.end(), window);
  if (it == windows_.end()) return;
  const auto i = it - windows_.begin();
  notify_.erase(notify_.begin() + i);
  windows_.erase(it);
}

void SkinRegistrations::Append(const SkinRegistrations& other) {
  // Copies first: appending an element to itself doubles it, as with any other.
  const auto w = other.windows_, n = other.notify_;
  windows_.insert(windows_.end(), w.begin(), w.end());
  notify_.insert(notify_.end(), n.begin(), n.end());
}

void SkinRegistrations::Clear() {
  windows_.clear();
  notify_.clear();
}

}  // namespace layout
