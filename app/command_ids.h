#pragma once
// The numeric command ids of the menus and toolbar, and the resource and control
// bar ids the help context ids are made from (command + 0x10000, resource +
// 0x20000, control bar + 0x50000).

constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_CLOSE = 57602;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_FILE_MRU_FIRST = 57616;
constexpr int ID_FILE_MRU_LAST = 57631;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_FIND = 57636;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_REPLACE = 57641;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_WINDOW_ARRANGE = 57649;
constexpr int ID_WINDOW_CASCADE = 57650;
constexpr int ID_WINDOW_TILE_HORZ = 57651;
constexpr int ID_WINDOW_TILE_VERT = 57652;
constexpr int ID_WINDOW_SPLIT = 57653;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_HELP_INDEX = 57666;
constexpr int ID_HELP_FINDER = 57667;
constexpr int ID_CONTEXT_HELP = 57669;
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;
constexpr int ID_VIEW_OUTPUT_BAR = 59523;
constexpr int ID_VIEW_FLATBAR = 32776;
constexpr int ID_VIEW_OUTPUT = 32777;
constexpr int ID_EXTRAS_REBUILD = 32785;
constexpr int ID_EXTRAS_CHECK = 32786;
constexpr int ID_EXTRAS_SETTINGS = 32790;
constexpr int ID_EXTRAS_SLAVE_CONFIG = 32791;
constexpr int ID_EDIT_FIND_NEXT = 32792;
constexpr int ID_EDIT_FIND_PREVIOUS = 32793;
constexpr int ID_VIEW_ZOOM_IN = 32794;
constexpr int ID_VIEW_ZOOM_OUT = 32795;
constexpr int ID_VIEW_ZOOM_RESET = 32796;
constexpr int AFX_IDM_FIRST_MDICHILD = 61215;

constexpr int IDR_MAINFRAME = 128;
constexpr int IDR_GSDTYPE = 129;
constexpr int IDC_OUTPUT_LIST = 59524;
constexpr int AFX_IDW_TOOLBAR = 0xE800;
constexpr int AFX_IDW_STATUS_BAR = 0xE801;

constexpr int HID_BASE_COMMAND = 0x10000;
constexpr int HID_BASE_RESOURCE = 0x20000;
constexpr int HID_BASE_CONTROL = 0x50000;

// Commands of the application's help function.
constexpr int HELP_CONTEXT = 1;
constexpr int HELP_DISPLAY_TOPIC = 0;
constexpr int HELP_DISPLAY_INDEX = 2;
constexpr int HELP_DISPLAY_TOC = 3;
