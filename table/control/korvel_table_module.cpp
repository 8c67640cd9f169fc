// KorvelTable.dll: the in-process server of the Table control.
#include <windows.h>

#include <iterator>

#include "resource_ids.h"
#include "table_control.h"
#include "winkit/inproc_server.h"

namespace {

winkit::ClassFactory<CTable> g_table_factory;

const winkit::ServedClass g_classes[] = {
    {{&CLSID_Table, L"KorvelTable.Table.1", L"KorvelTable.Table", L"Table Class",
      &LIBID_KORVELTABLELib, L"1.0", true, IDB_TABLE, L"131473", false, nullptr},
     &g_table_factory},
};

const winkit::InprocServer g_server(g_classes, std::size(g_classes));

}  // namespace

WINKIT_INPROC_SERVER_EXPORTS(g_server)
