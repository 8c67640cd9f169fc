// Parley.dll: the in-process server of the GChat control and its property page ParleyPage, and
// the library's start and end (CParleyApp): the RichEdit library the panes need, and the
// process-wide skin freed when the library goes.
#include <windows.h>

#include <iterator>

#include "chat_pictures.h"
#include "chat_platform.h"
#include "chat_texts.h"
#include "gchat_control.h"
#include "parley_page.h"
#include "resource_ids.h"
#include "winkit/inproc_server.h"
#include "winkit/module.h"

namespace {

winkit::ClassFactory<CGChat> g_gchat_factory;
winkit::ClassFactory<CParleyPage> g_parley_page_factory;

const winkit::ServedClass g_classes[] = {
    {{&CLSID_GChat, L"Parley.GChat.1", L"Parley.GChat", L"GChat Class", &LIBID_PARLEYLib,
      L"1.0", true, IDB_GCHAT, L"131473", false, nullptr},
     &g_gchat_factory},
    // The page is registered like the control, without the keys only a control has.
    {{&CLSID_ParleyPage, L"Parley.ParleyPage.1", L"Parley.ParleyPage", L"ParleyPage Class",
      &LIBID_PARLEYLib, L"1.0", false, 0, nullptr, false, nullptr},
     &g_parley_page_factory},
};

const winkit::InprocServer g_server(g_classes, std::size(g_classes));

class CParleyApp {
 public:
  // The RichEdit library, loaded once before the first object is made (not from DllMain,
  // where loading another library is not safe).
  void InitInstance() {
    if (started_) return;
    started_ = true;
    richedit_ = LoadLibraryW(L"RICHED20.DLL");
    if (richedit_) return;
    parley::ShowChatMessage(nullptr, kTextNoRichEdit20, MB_OK);
    richedit_ = LoadLibraryW(L"RICHED32.DLL");
    if (!richedit_) parley::ShowChatMessage(nullptr, kTextNoRichEdit10, MB_OK);
  }
  // The library is being unloaded: the skin's bitmaps and the faces' pictures go. The RichEdit
  // library stays with the process (freeing a library from DllMain is not safe).
  void ExitInstance() {
    parley::ReleaseSkinManager();
    parley::Faces().FreeFaceImages();
  }
  HMODULE RichEdit() const { return richedit_; }

 private:
  bool started_ = false;
  HMODULE richedit_ = nullptr;
};

CParleyApp g_app;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    winkit::Module::SetInstance(instance);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // Unloaded by FreeLibrary; at process exit the system reclaims everything.
    g_app.ExitInstance();
    winkit::Module::ReleaseTypeLib();
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  g_app.InitInstance();
  return g_server.GetClassObject(clsid, iid, out);
}
STDAPI DllCanUnloadNow() { return g_server.CanUnloadNow(); }
STDAPI DllRegisterServer() { return g_server.Register(); }
STDAPI DllUnregisterServer() { return g_server.Unregister(); }
