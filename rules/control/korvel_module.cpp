// Korvel.dll: the in-process server of the Arithmetic control.
#include <windows.h>

#include <iterator>

#include "arithmetic_control.h"
#include "resource_ids.h"
#include "winkit/inproc_server.h"

namespace {

winkit::ClassFactory<CArithmetic> g_arithmetic_factory;

const winkit::ServedClass g_classes[] = {
    {{&CLSID_Arithmetic, L"Korvel.Arithmetic.1", L"Korvel.Arithmetic", L"Arithmetic Class",
      &LIBID_KORVELLib, L"1.0", true, IDB_ARITHMETIC, L"131473", false, nullptr},
     &g_arithmetic_factory},
};

const winkit::InprocServer g_server(g_classes, std::size(g_classes));

}  // namespace

WINKIT_INPROC_SERVER_EXPORTS(g_server)
