// A list with its capacity fixed at compile time: the rules engine keeps its state and its
// search scratch in these, so judging a hand never touches the heap. Appending to a full list
// does nothing and answers false; erase_at, move_to_end and truncate check their index, while
// operator[] trusts the caller (as for an array). Slots beyond size() are left unset.
#pragma once
#include <cstddef>
#include <utility>

template <typename T, int Capacity>
class FixedList {
 public:
  static constexpr int kCapacity = Capacity;

  FixedList() = default;
  // Copies only the items in use: the slots beyond them are never written before use.
  FixedList(const FixedList& other) : count_(other.count_) {
    for (int i = 0; i < count_; ++i) items_[i] = other.items_[i];
  }
  FixedList& operator=(const FixedList& other) {
    if (this != &other) {
      count_ = other.count_;
      for (int i = 0; i < count_; ++i) items_[i] = other.items_[i];
    }
    return *this;
  }

  int size() const { return count_; }
  bool empty() const { return count_ == 0; }
  bool full() const { return count_ == Capacity; }
  void clear() { count_ = 0; }

  T* begin() { return items_; }
  T* end() { return items_ + count_; }
  const T* begin() const { return items_; }
  const T* end() const { return items_ + count_; }
  T* data() { return items_; }
  const T* data() const { return items_; }

  T& operator[](int i) { return items_[i]; }
  const T& operator[](int i) const { return items_[i]; }
  T& back() { return items_[count_ - 1]; }
  const T& back() const { return items_[count_ - 1]; }

  bool push_back(const T& item) {
    if (count_ == Capacity) return false;
    items_[count_++] = item;
    return true;
  }

  void pop_back() {
    if (count_ > 0) --count_;
  }

  // Keeps the first n items.
  void truncate(int n) {
    if (n >= 0 && n < count_) count_ = n;
  }

  // Makes the list n items long (0 to Capacity): items added are what the caller wrote
  // through data() beyond the old size.
  void resize(int n) {
    if (n >= 0 && n <= Capacity) count_ = n;
  }

  // Removes the item at index i, keeping the order of the others.
  void erase_at(int i) {
    if (i < 0 || i >= count_) return;
    for (int k = i; k + 1 < count_; ++k) items_[k] = items_[k + 1];
    --count_;
  }

  // Moves the item at index i to the end, keeping the order of the others.
  void move_to_end(int i) {
    if (i < 0 || i >= count_ - 1) return;
    T item = items_[i];
    for (int k = i; k + 1 < count_; ++k) items_[k] = items_[k + 1];
    items_[count_ - 1] = item;
  }

  template <typename Other>
  void assign(const Other* first, int n) {
    const int kept = n < 0 ? 0 : n < Capacity ? n : Capacity;
    for (int i = 0; i < kept; ++i) items_[i] = first[i];
    count_ = kept;
  }

 private:
  T items_[Capacity];
  int count_ = 0;
};
