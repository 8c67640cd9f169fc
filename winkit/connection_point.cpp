#include "connection_point.h"

#include <algorithm>
#include <new>

#include <olectl.h>

#include "com_object.h"

namespace winkit {

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = container_;
  if (container_) container_->AddRef();
  return container_ ? S_OK : E_FAIL;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  IDispatch* dispatch = nullptr;
  // A sink answers the event interface itself (a dual one) or at least IDispatch.
  if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(&dispatch))) &&
      FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
    return CONNECT_E_CANNOTCONNECT;
  sinks_.push_back({next_cookie_, dispatch});
  *cookie = next_cookie_++;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->cookie == cookie) {
      IDispatch* d = it->dispatch;
      sinks_.erase(it);
      d->Release();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

namespace {

// Enumerates a snapshot of CONNECTDATA (the sinks add a reference each).
class ConnectionEnum : public IEnumConnections, public ComObject {
 public:
  explicit ConnectionEnum(std::vector<CONNECTDATA> items) : items_(std::move(items)) {
    for (auto& c : items_) c.pUnk->AddRef();
  }
  ~ConnectionEnum() override {
    for (auto& c : items_) c.pUnk->Release();
  }
  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IEnumConnections)
      return static_cast<IEnumConnections*>(this);
    return nullptr;
  }
  STDMETHODIMP Next(ULONG n, CONNECTDATA* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG got = 0;
    while (got < n && pos_ < items_.size()) {
      out[got] = items_[pos_++];
      out[got].pUnk->AddRef();
      ++got;
    }
    if (fetched) *fetched = got;
    return got == n ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG n) override {
    pos_ = std::min(items_.size(), pos_ + n);
    return pos_ < items_.size() ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override { pos_ = 0; return S_OK; }
  STDMETHODIMP Clone(IEnumConnections** out) override {
    if (!out) return E_POINTER;
    auto* e = new (std::nothrow) ConnectionEnum(items_);
    if (!e) return E_OUTOFMEMORY;
    e->pos_ = pos_;
    return e->QueryInterfaceImpl(IID_IEnumConnections, reinterpret_cast<void**>(out));
  }

 private:
  std::vector<CONNECTDATA> items_;
  size_t pos_ = 0;
};

class ConnectionPointEnum : public IEnumConnectionPoints, public ComObject {
 public:
  explicit ConnectionPointEnum(std::vector<IConnectionPoint*> items) : items_(std::move(items)) {
    for (auto* c : items_) c->AddRef();
  }
  ~ConnectionPointEnum() override {
    for (auto* c : items_) c->Release();
  }
  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IEnumConnectionPoints)
      return static_cast<IEnumConnectionPoints*>(this);
    return nullptr;
  }
  STDMETHODIMP Next(ULONG n, IConnectionPoint** out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG got = 0;
    while (got < n && pos_ < items_.size()) {
      out[got] = items_[pos_++];
      out[got]->AddRef();
      ++got;
    }
    if (fetched) *fetched = got;
    return got == n ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG n) override {
    pos_ = std::min(items_.size(), pos_ + n);
    return pos_ < items_.size() ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override { pos_ = 0; return S_OK; }
  STDMETHODIMP Clone(IEnumConnectionPoints** out) override {
    if (!out) return E_POINTER;
    auto* e = new (std::nothrow) ConnectionPointEnum(items_);
    if (!e) return E_OUTOFMEMORY;
    e->pos_ = pos_;
    return e->QueryInterfaceImpl(IID_IEnumConnectionPoints, reinterpret_cast<void**>(out));
  }

 private:
  std::vector<IConnectionPoint*> items_;
  size_t pos_ = 0;
};

}  // namespace

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  std::vector<CONNECTDATA> items;
  for (const auto& s : sinks_) items.push_back({s.dispatch, s.cookie});
  auto* e = new (std::nothrow) ConnectionEnum(std::move(items));
  if (!e) return E_OUTOFMEMORY;
  return e->QueryInterfaceImpl(IID_IEnumConnections, reinterpret_cast<void**>(out));
}

void ConnectionPoint::Fire(DISPID id, std::initializer_list<EventArg> args) {
  if (sinks_.empty()) return;
  std::vector<VARIANTARG> vars(args.size());
  size_t i = args.size();
  for (const EventArg& a : args) {
    VARIANTARG& v = vars[--i];
    VariantInit(&v);
    v.vt = a.vt;
    if (a.vt == VT_I2) v.iVal = static_cast<SHORT>(a.value);
    else if (a.vt == VT_I8) v.llVal = a.value;
    else v.lVal = static_cast<LONG>(a.value);
  }
  DISPPARAMS params = {vars.empty() ? nullptr : vars.data(), nullptr,
                       static_cast<UINT>(vars.size()), 0};
  // A sink may disconnect (or connect another) from inside its handler: fire on a snapshot,
  // each sink kept alive for the duration of its call.
  std::vector<IDispatch*> snapshot;
  snapshot.reserve(sinks_.size());
  for (const auto& s : sinks_) {
    s.dispatch->AddRef();
    snapshot.push_back(s.dispatch);
  }
  // A sink may also drop the last reference to the object that fires: keep it alive until
  // the firing is over.
  owner_->AddRef();
  for (IDispatch* d : snapshot) {
    d->Invoke(id, IID_NULL, 0x400, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    d->Release();
  }
  owner_->Release();
}

size_t ConnectionPoint::SinkCount() const { return sinks_.size(); }

void ConnectionPoint::UnadviseAll() {
  std::vector<Sink> old;
  old.swap(sinks_);
  for (auto& s : old) s.dispatch->Release();
}

HRESULT FindConnectionPointIn(std::initializer_list<ConnectionPoint*> points, REFIID iid,
                              IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (ConnectionPoint* cp : points) {
    if (cp && cp->Iid() == iid) {
      *out = cp;
      cp->AddRef();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT EnumConnectionPointsOf(std::initializer_list<ConnectionPoint*> points,
                               IEnumConnectionPoints** out) {
  if (!out) return E_POINTER;
  std::vector<IConnectionPoint*> items;
  for (ConnectionPoint* cp : points)
    if (cp) items.push_back(cp);
  auto* e = new (std::nothrow) ConnectionPointEnum(std::move(items));
  if (!e) return E_OUTOFMEMORY;
  return e->QueryInterfaceImpl(IID_IEnumConnectionPoints, reinterpret_cast<void**>(out));
}

}  // namespace winkit
