#include "connection_point.h"

#include <olectl.h>

#include "boundary.h"
#include "com_ptr.h"
#include "dispatch_call.h"
#include "enumerator.h"

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
  ComPtr<IDispatch> dispatch;
  // A sink answers the event interface itself (a dual one) or at least IDispatch.
  if (FAILED(sink->QueryInterface(iid_, dispatch.PutVoid())) &&
      FAILED(sink->QueryInterface(IID_IDispatch, dispatch.PutVoid())))
    return CONNECT_E_CANNOTCONNECT;
  return CallAtBoundary([&] {
    sinks_.push_back({next_cookie_, std::move(dispatch)});
    *cookie = next_cookie_++;
  });
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->cookie == cookie) {
      // Let go of the sink after it left the list: its release may call back in.
      ComPtr<IDispatch> gone = std::move(it->dispatch);
      sinks_.erase(it);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return CallAtBoundary([&] {
    std::vector<CONNECTDATA> items;
    items.reserve(sinks_.size());
    for (const auto& s : sinks_) items.push_back({s.dispatch.Get(), s.cookie});
    return ConnectionEnumerator::Create(items, out);
  });
}

void ConnectionPoint::Fire(DISPID id, std::initializer_list<EventArg> args) {
  if (sinks_.empty()) return;
  DispatchArguments firing(args);
  // A sink may disconnect (or connect another) from inside its handler: fire on a snapshot,
  // each sink kept alive for the duration of its call.
  std::vector<ComPtr<IDispatch>> snapshot;
  snapshot.reserve(sinks_.size());
  for (const auto& s : sinks_) snapshot.push_back(s.dispatch);
  // A sink may also drop the last reference to the object that fires: keep it alive until
  // the firing is over.
  ComPtr<IUnknown> keep(owner_);
  for (const ComPtr<IDispatch>& d : snapshot) {
    // Each sink gets the arguments as they were made: a DISPPARAMS of its own, over the same
    // values.
    DISPPARAMS params = firing.Params();
    d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
              nullptr);
  }
}

size_t ConnectionPoint::SinkCount() const { return sinks_.size(); }

void ConnectionPoint::UnadviseAll() {
  std::vector<Sink> old;
  old.swap(sinks_);  // released as `old` goes, after the list is empty
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
  *out = nullptr;
  return CallAtBoundary([&] {
    std::vector<IConnectionPoint*> items;
    for (ConnectionPoint* cp : points)
      if (cp) items.push_back(cp);
    return ConnectionPointEnumerator::Create(items, out);
  });
}

}  // namespace winkit
