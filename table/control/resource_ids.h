// Resource ids of KorvelTable.dll (shared by the resource scripts and the code).
#pragma once

#define IDB_TABLE 102  // the control's toolbox bitmap
#define IDD_TABLE 104  // the buttons' dialog template

// Tile art (tools/tile_art).
#define IDB_FACES_SMALL 201    // 201-204 by angle
#define IDB_FRAMES_A_SMALL 205 // 205-208
#define IDB_FRAMES_B_SMALL 209 // 209-212
#define IDB_EXTRA 213          // 213-217
#define IDB_DOWN_SMALL 222     // 222-225
#define IDB_FACES_LARGE 240
#define IDB_FRAME_A_LARGE 241
#define IDB_FRAME_B_LARGE 242
#define IDB_DOWN_LARGE 243
#define IDB_FACES_MEDIUM 246
#define IDB_FRAME_A_MEDIUM 247
#define IDB_FRAME_B_MEDIUM 248
#define IDB_DOWN_MEDIUM 249
#define IDI_DICE 480           // 480-485, faces 1 to 6

// Table art (tools/table_skin).
#define IDB_ACTION_STRIP 237
#define IDB_ACTION_STRIP_GRAY 238
#define IDB_START 244
#define IDB_DICE_BUTTON 245
#define IDB_READY 256
#define IDB_READY_MASK 257
#define IDI_EXIT 258
#define IDI_SETUP 259
#define IDI_SAVE 416
#define IDI_AUTO_SEND 417
#define IDI_418 418
#define IDI_NEXT 421
#define IDI_PAUSE 423
#define IDI_424 424
#define IDI_425 425
#define IDI_426 426
#define IDB_LIST_LEFT 460
#define IDB_LIST_MID 461
#define IDB_LIST_RIGHT 462
#define IDB_READY_HAND 463
#define IDB_READY_HAND_MASK 464
#define IDB_BANKER 465
#define IDB_BANKER_MASK 466
#define IDB_MELD_AREA 470
