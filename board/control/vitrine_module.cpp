// Vitrine.dll: the in-process server of the MjBoard control.
#include <windows.h>

#include <iterator>

#include "mj_board_control.h"
#include "resource_ids.h"
#include "winkit/inproc_server.h"

namespace {

winkit::ClassFactory<CMjBoard> g_mj_board_factory;

const winkit::ServedClass g_classes[] = {
    {{&CLSID_MjBoard, L"Vitrine.MjBoard.1", L"Vitrine.MjBoard", L"MjBoard Class",
      &LIBID_VITRINELib, L"1.0", true, IDB_MJBOARD, L"131473", false, nullptr},
     &g_mj_board_factory},
};

const winkit::InprocServer g_server(g_classes, std::size(g_classes));

}  // namespace

WINKIT_INPROC_SERVER_EXPORTS(g_server)
