// The demonstration's resource and command numbers, shared by the program
// and the generator of its resources.
#pragma once

// Resources.
#define IDR_MENU 100          // RT_MENU, and the RT_RCDATA menu-bar description
#define IDB_TOOLBAR 110       // the toolbar strip: three 16 x 16 images
#define IDB_PICTURE 111       // the dialog's picture
#define IDI_DEMO 120
#define IDA_DEMO 130
#define IDD_CONTROLS 140
#define IDS_DEMO_MENU 200     // the menu bar's button texts
#define IDS_VIEW_MENU 201
#define IDS_GREETING 202      // Hebrew, in display order

// Commands.
#define IDM_DEMO 40001        // the menu bar's two drop-down buttons
#define IDM_VIEW 40002
#define IDM_DIALOG 40010
#define IDM_MESSAGE 40011
#define IDM_EXIT 40012
#define IDM_GRID 40020
#define IDM_SMALL 40021
#define IDM_LARGE 40022

// The dialog's controls.
#define IDC_NAME_LABEL 1000
#define IDC_NAME 1001
#define IDC_NOTE 1002
#define IDC_PICTURE 1003
#define IDC_RED 1004
#define IDC_GREEN 1005
#define IDC_BLUE 1006
#define IDC_BOLD 1007
#define IDC_ASK 1008
#define IDC_LEVEL 1009
#define IDC_LEVEL_TEXT 1010
#define IDC_FRUIT 1011
#define IDC_LOG 1012
