// The numbers of the program's own resources and commands: the resource
// generator (resources/ui) writes them, the shell loads and handles them.
#pragma once

// Resources.
#define IDI_PROGRAM 101      // icon
#define IDR_MAIN_MENU 102    // menu, and the menu-bar description (RCDATA) of the same number
#define IDD_ABOUT 103        // dialog template
#define IDB_LOGO 113         // 63 x 40, one bit a pixel
#define IDB_TOOLBAR 114      // six 16 x 16 images side by side, four bits a pixel
#define IDB_INDEX_ICONS 201  // 201 to 203: the index list's 9 x 9 icons
#define IDS_GO 302
#define IDS_KORVEL 304
#define IDA_MAIN 3           // accelerator table

// Commands.
#define IDM_CHOOSE_SECTION 107  // the same as IDM_INDEX, from no menu
#define IDM_NEXT_ARTICLE 109
#define IDM_PREVIOUS_ARTICLE 110
#define IDM_SEARCH 116
#define IDM_SEARCH_AGAIN 117
#define IDM_INDEX 119
#define IDM_REVERSE 122
#define IDM_BOOKMARK 123
#define IDM_CHECK_UPDATES 129
#define IDM_RATIO_NONE 401
#define IDM_RATIO_1_2 412
#define IDM_RATIO_1_3 413
#define IDM_RATIO_1_4 414
#define IDM_RATIO_2_3 423
#define IDM_RATIO_3_4 434
#define IDM_GO_MENU 40001
#define IDM_KORVEL_MENU 40003
#define IDM_ABOUT 40004
#define IDM_EXIT 40005
#define IDM_FONT 40006
#define IDM_COPY 40007
#define IDM_APPEND 40009

// The About box.
#define IDC_VENDOR_LINK 1025

// The vendor's web site: the About box's link, and the start of the update
// request. A reserved example address until the vendor has one of its own.
#define VENDOR_SITE_URL u"https://varnatek.example"
#define PRODUCT_VERSION u"1.84a"
