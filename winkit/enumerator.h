// One enumerator for every IEnum* interface: Next, Skip, Reset and Clone over a snapshot of
// items taken when the enumerator is made. Clones share the snapshot and start at the
// position of the enumerator they came from.
//
//   using EnumConnectionsImpl =
//       winkit::Enumerator<IEnumConnections, &IID_IEnumConnections, CONNECTDATA>;
//   return EnumConnectionsImpl::Create(items, out);   // items: what the caller holds now
//
// How an item is handed out and let go is the item's EnumItemTraits: interface pointers get
// AddRef/Release, CONNECTDATA the same on its pUnk. The snapshot holds its own reference to
// every item, and each item given out by Next carries one more for the caller.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "com_object.h"

namespace winkit {

template <class Item, class Enable = void>
struct EnumItemTraits;

// Interface pointers.
template <class I>
struct EnumItemTraits<I*, std::enable_if_t<std::is_base_of_v<IUnknown, I>>> {
  static void Copy(I** to, I* const& from) {
    *to = from;
    if (from) from->AddRef();
  }
  static void Destroy(I*& item) {
    if (item) item->Release();
    item = nullptr;
  }
};

template <>
struct EnumItemTraits<CONNECTDATA> {
  static void Copy(CONNECTDATA* to, const CONNECTDATA& from) {
    *to = from;
    if (from.pUnk) from.pUnk->AddRef();
  }
  static void Destroy(CONNECTDATA& item) {
    if (item.pUnk) item.pUnk->Release();
    item.pUnk = nullptr;
  }
};

template <class IEnum, const IID* Iid, class Item, class Traits = EnumItemTraits<Item>>
class Enumerator final : public IEnum, public ComObject {
 public:
  // Makes an enumerator over a copy of `items` (each copied as Traits say) and asks it for
  // its interface.
  static HRESULT Create(const std::vector<Item>& items, IEnum** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::shared_ptr<const Snapshot> snapshot;
    try {
      snapshot = std::make_shared<Snapshot>(items);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return Make(std::move(snapshot), 0, out);
  }

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override {
    if (iid == IID_IUnknown || iid == *Iid) return static_cast<IEnum*>(this);
    return nullptr;
  }

  // Hands out up to `n` items from the position on; S_FALSE when fewer were left.
  STDMETHODIMP Next(ULONG n, Item* out, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    if (!out) return E_POINTER;
    const std::vector<Item>& items = snapshot_->items;
    ULONG got = 0;
    while (got < n && pos_ < items.size()) Traits::Copy(&out[got++], items[pos_++]);
    if (fetched) *fetched = got;
    return got == n ? S_OK : S_FALSE;
  }
  // Moves on by `n`; S_FALSE when fewer than `n` were left (the position is then the end).
  STDMETHODIMP Skip(ULONG n) override {
    const size_t left = snapshot_->items.size() - pos_;
    pos_ += std::min<size_t>(left, n);
    return n <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    pos_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnum** out) override { return Make(snapshot_, pos_, out); }

 private:
  struct Snapshot {
    explicit Snapshot(const std::vector<Item>& from) {
      items.reserve(from.size());
      for (const Item& item : from) {
        items.emplace_back();
        Traits::Copy(&items.back(), item);
      }
    }
    ~Snapshot() {
      for (Item& item : items) Traits::Destroy(item);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    std::vector<Item> items;
  };

  Enumerator(std::shared_ptr<const Snapshot> snapshot, size_t pos)
      : snapshot_(std::move(snapshot)), pos_(pos) {}

  static HRESULT Make(std::shared_ptr<const Snapshot> snapshot, size_t pos, IEnum** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto* e = new (std::nothrow) Enumerator(std::move(snapshot), pos);
    if (!e) return E_OUTOFMEMORY;
    return e->QueryInterfaceImpl(*Iid, reinterpret_cast<void**>(out));
  }

  std::shared_ptr<const Snapshot> snapshot_;
  size_t pos_ = 0;
};

using ConnectionEnumerator = Enumerator<IEnumConnections, &IID_IEnumConnections, CONNECTDATA>;
using ConnectionPointEnumerator =
    Enumerator<IEnumConnectionPoints, &IID_IEnumConnectionPoints, IConnectionPoint*>;

}  // namespace winkit
