// Resource ids of Parley.dll (shared by the resource script and the code).
#pragma once

#define IDB_GCHAT 102  // the control's toolbox bitmap

// Property page strings.
#define IDS_PAGE_TITLE 105
#define IDS_PAGE_HELPFILE 106
#define IDS_PAGE_DOCSTRING 107

// The dialogs' own look, used when the skin gives none.
#define IDB_DIALOG_BACK 2023
#define IDB_CLOSE_NORMAL 2024
#define IDB_CLOSE_HOVER 2025
#define IDB_BUTTON_NORMAL 2027
#define IDB_BUTTON_HOVER 2028
