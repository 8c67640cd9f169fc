// Resource ids of Parley.dll (shared by the resource script and the code).
#pragma once

#define IDB_GCHAT 102  // the control's toolbox bitmap
