// Parley.dll: the in-process server of the GChat control and its property page ParleyPage.
#include <windows.h>

#include <iterator>

#include "gchat_control.h"
#include "parley_page.h"
#include "resource_ids.h"
#include "winkit/inproc_server.h"

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

}  // namespace

WINKIT_INPROC_SERVER_EXPORTS(g_server)
