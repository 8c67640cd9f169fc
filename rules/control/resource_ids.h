// Resource ids of Korvel.dll (shared by the resource script and the code).
#pragma once

#define IDB_ARITHMETIC 101  // the control's toolbox bitmap
