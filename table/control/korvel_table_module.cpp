// KorvelTable.dll: the in-process server of the Table control.
#include <windows.h>

#include <iterator>

#include "resource_ids.h"
#include "table_control.h"
#include "table_view.h"
#include "winkit/inproc_server.h"

namespace {

// The class object: the first time it is asked for, the tile pictures start loading for the
// first table (a host asks for the class object before it makes the control).
class TableFactory : public winkit::ClassFactory<CTable> {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    table_gdi::TableImagesAhead::StartForFirstTable(winkit::Module::Instance());
    return ClassFactory::QueryInterface(iid, out);
  }
};

TableFactory g_table_factory;

const winkit::ServedClass g_classes[] = {
    {{&CLSID_Table, L"KorvelTable.Table.1", L"KorvelTable.Table", L"Table Class",
      &LIBID_KORVELTABLELib, L"1.0", true, IDB_TABLE, L"131473", false, nullptr},
     &g_table_factory},
};

const winkit::InprocServer g_server(g_classes, std::size(g_classes));

}  // namespace

WINKIT_INPROC_SERVER_EXPORTS(g_server)
