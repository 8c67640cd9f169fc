// Resource ids of Vitrine.dll (shared by the resource script and the code).
#pragma once

#define IDS_PROJNAME 100  // the project name
#define IDB_MJBOARD 102   // the control's toolbox bitmap
