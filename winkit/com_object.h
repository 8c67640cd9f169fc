// Reference counting, QueryInterface and class factories for the COM classes of this project.
//
// A COM class derives from its interfaces and from ComObject, lists what it answers in
// CastTo, and puts WINKIT_IUNKNOWN in its body:
//
//   class CThing : public IThing, public winkit::ComObject {
//    public:
//     WINKIT_IUNKNOWN
//     void* CastTo(REFIID iid) override {
//       if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IThing)
//         return static_cast<IThing*>(this);
//       return nullptr;
//     }
//   };
#pragma once
#include <windows.h>
#include <ole2.h>

#include <tuple>
#include <utility>

#include "boundary.h"
#include "module.h"

namespace winkit {

class ComObject {
 public:
  ComObject() { Module::Lock(); }
  virtual ~ComObject() {
    if (locks_module_) Module::Unlock();
  }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // The interface pointer for iid, without AddRef; null when not supported.
  virtual void* CastTo(REFIID iid) = 0;

  ULONG AddRefImpl() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG ReleaseImpl() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) {
      // Guard against re-entrant releases from the destructor.
      refs_ = 1 << 30;
      delete this;
    }
    return static_cast<ULONG>(n);
  }
  HRESULT QueryInterfaceImpl(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = CastTo(iid);
    if (!*out) return E_NOINTERFACE;
    AddRefImpl();
    return S_OK;
  }

 protected:
  // An object the module makes for its own use (a site hosting a control in the program's own
  // window): it does not keep the module loaded or a local server running.
  struct InternalObject {};
  explicit ComObject(InternalObject) : locks_module_(false) {}

 private:
  bool locks_module_ = true;
  volatile LONG refs_ = 0;
};

#define WINKIT_IUNKNOWN                                                            \
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {                   \
    return QueryInterfaceImpl(iid, out);                                           \
  }                                                                                \
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }                  \
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

// Creates a new object of T (from `args`) and asks it for iid; the object dies if it does
// not answer. What T's constructor throws becomes the HRESULT.
template <class T, class... Args>
HRESULT CreateComObject(REFIID iid, void** out, Args&&... args) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return CallAtBoundary([&] {
    T* obj = new T(std::forward<Args>(args)...);
    obj->AddRefImpl();
    HRESULT hr = obj->QueryInterfaceImpl(iid, out);
    obj->ReleaseImpl();
    return hr;
  });
}

// A class factory for T. Factories are static objects (or members of the application object
// that outlive their registration): their references do not keep the module alive (LockServer
// does), as a local server must be able to end while COM still holds its registered class
// objects.
//
// Objects that need something from the server are made with it: the factory keeps references
// to `Context` objects and passes them to T's constructor.
//   winkit::ClassFactory<CTestControl> g_factory;                  // CTestControl()
//   winkit::ClassFactory<CStartGame, StartGameHost> factory_{*this}; // CStartGame(StartGameHost&)
template <class T, class... Context>
class ClassFactory : public IClassFactory {
 public:
  ClassFactory(Context&... context) : context_(context...) {}
  ClassFactory(const ClassFactory&) = delete;
  ClassFactory& operator=(const ClassFactory&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return std::apply(
        [&](Context&... context) { return CreateComObject<T>(iid, out, context...); },
        context_);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) Module::Lock(); else Module::Unlock();
    return S_OK;
  }

 private:
  std::tuple<Context&...> context_;
};

}  // namespace winkit
