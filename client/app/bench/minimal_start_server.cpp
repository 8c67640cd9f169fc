// minimal_start_server.exe: the least a local automation server of the game client's kind does,
// the other side of the start-up bench (startup_bench.sh). Its class answers IStartGame (the
// client's type library marshals it); the setters keep nothing, ShowWindow shows one maximised
// frame holding a window with the table display's child id, as the lobby stand-in looks for it.
// The program ends when the lobby lets the object go.
//   minimal_start_server.exe /RegServer | /UnregServer | -Embedding
#include <windows.h>
#include <ole2.h>

#include <string>

#include "korvel_game.h"
#include "winkit/registration.h"

namespace {

// {5C3E0B7A-8E21-4F6B-9D3C-2A71C4E9B815}
const CLSID kClsid = {0x5C3E0B7A, 0x8E21, 0x4F6B, {0x9D, 0x3C, 0x2A, 0x71, 0xC4, 0xE9, 0xB8, 0x15}};
const winkit::ClassRegistration kRegistration = {
    &kClsid, L"KorvelBench.MinimalStart.1", L"KorvelBench.MinimalStart", L"MinimalStart Class",
    nullptr, nullptr, false, 0, nullptr, true, nullptr};

LONG g_objects = 0;

LRESULT CALLBACK FrameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {
    DestroyWindow(w);
    return 0;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

void ShowFrame() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"KorvelGameFrame";
  RegisterClassW(&wc);
  HWND frame = CreateWindowExW(0, L"KorvelGameFrame", L"Minimal", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, nullptr, nullptr,
                               wc.hInstance, nullptr);
  HWND table = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 640, 480, frame,
                               nullptr, wc.hInstance, nullptr);
  CreateWindowExW(0, L"STATIC", L"table", WS_CHILD | WS_VISIBLE, 10, 10, 600, 400, table,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(32770)), wc.hInstance, nullptr);
  ::ShowWindow(frame, SW_SHOWMAXIMIZED);
  UpdateWindow(frame);
}

class MinimalStart final : public IStartGame {
 public:
  MinimalStart() { InterlockedIncrement(&g_objects); }
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IStartGame) {
      *out = static_cast<IStartGame*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) {
      delete this;
      if (InterlockedDecrement(&g_objects) == 0) PostQuitMessage(0);
    }
    return n;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return E_NOTIMPL;
  }

  STDMETHODIMP ShowWindow() override { ShowFrame(); return S_OK; }
  STDMETHODIMP AddPerson(PERSON*) override { return S_OK; }
  STDMETHODIMP SetMe(GAMESTR*) override { return S_OK; }
  STDMETHODIMP SetSeatNum(short) override { return S_OK; }
  STDMETHODIMP SetGameSockIp(GAMESTR*, short) override { return S_OK; }
  STDMETHODIMP SetChatSockIp(GAMESTR*, short) override { return S_OK; }
  STDMETHODIMP AddRoomInfo(short, short, short*) override { return S_OK; }
  STDMETHODIMP SetWatchStyle(short) override { return S_OK; }
  STDMETHODIMP SetFontFactor(GAMESTR*, LONG) override { return S_OK; }
  STDMETHODIMP SetSubType(short, short, short, short) override { return S_OK; }
  STDMETHODIMP SetAdvUrl(GAMESTR*, GAMESTR*) override { return S_OK; }
  STDMETHODIMP SetProxyStyle(short, short, short) override { return S_OK; }
  STDMETHODIMP SetProxy(GAMESTR*, short, GAMESTR*, GAMESTR*) override { return S_OK; }
  STDMETHODIMP SetListHead(BIG_GAMESTR*, short) override { return S_OK; }
  STDMETHODIMP SetComInfo(GAMESTR*) override { return S_OK; }
  STDMETHODIMP SetReviewFileName(GAMESTR*) override { return S_OK; }
  STDMETHODIMP SetDoubleStyle(short) override { return S_OK; }
  STDMETHODIMP SetDllFileName(GAMESTR*) override { return S_OK; }
  STDMETHODIMP SetCurrentDirectory(GAMESTR*) override { return S_OK; }
  STDMETHODIMP Join_Team(GAMESTR*, LONG) override { return S_OK; }
  STDMETHODIMP SetAdvMessage(BIG_GAMESTR*, short, GAMESTR*, BIG_GAMESTR*) override { return S_OK; }
  STDMETHODIMP SetLevel(LONG) override { return S_OK; }
  STDMETHODIMP AddLevelInfo(GAMESTR*) override { return S_OK; }
  STDMETHODIMP AddRoomInfo1(short, short, short) override { return S_OK; }
  STDMETHODIMP SetMyID(LONG) override { return S_OK; }
  STDMETHODIMP ShowInstantMessage(LONG, LONG, BIG_GAMESTR*, short) override { return S_OK; }
  STDMETHODIMP SetPageUrl(GAMESTR*, GAMESTR*) override { return S_OK; }

 private:
  LONG refs_ = 1;
};

class Factory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
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
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* object = new MinimalStart;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

std::wstring ModulePath() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, n);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR command_line, int) {
  const std::wstring line = command_line ? command_line : L"";
  if (line.find(L"UnregServer") != std::wstring::npos)
    return SUCCEEDED(winkit::UnregisterComClass(kRegistration)) ? 0 : 1;
  if (line.find(L"RegServer") != std::wstring::npos)
    return SUCCEEDED(winkit::RegisterComClass(kRegistration, ModulePath())) ? 0 : 1;
  if (FAILED(OleInitialize(nullptr))) return 2;
  static Factory factory;
  DWORD cookie = 0;
  CoRegisterClassObject(kClsid, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  CoRevokeClassObject(cookie);
  OleUninitialize();
  return 0;
}
