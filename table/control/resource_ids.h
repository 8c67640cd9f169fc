// Resource ids of KorvelTable.dll (shared by the resource script and the code).
#pragma once

#define IDB_TABLE 102  // the control's toolbox bitmap
