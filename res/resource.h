// Resource and control identifiers, shared by Orvelle.rc and the code.
#pragma once

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_PROFILE 130
#define IDD_LINKCHECK 140

// Icon and strings.
#define IDR_MAINFRAME 128
#define IDS_ABOUTBOX 101

// System menu item that opens the About box.
#define IDM_ABOUTBOX 0x0010

// About box.
#define IDC_HOMEPAGE 1000

// Main dialog, in tab order.
#define IDC_CAPTION 1001
#define IDC_BACKURL 1002
#define IDC_USEJAVA 1013
#define IDC_OUTPUT 1003
#define IDC_BROWSE 1014
#define IDC_SOURCE 1020
#define IDC_LINKLIST 1005
#define IDC_PROFILE 1015
#define IDC_IMPORT 1006
#define IDC_DELETE 1007
#define IDC_WRITE 1008
#define IDC_LINKCHECK 1022
#define IDC_STYLE_SINGLE 1009
#define IDC_STYLE_ANCHORS 1012
#define IDC_STYLE_INDEX 1010
#define IDC_STYLE_FRAMES 1011
#define IDC_STYLE_TODAY 1021
#define IDC_STDGENRE 1017
#define IDC_EXCLUDE 1018
#define IDC_INCLUDE 1019

// Link check progress: the bar, "n / N 件", the count of each state; its
// "中止" is IDCANCEL.
#define IDC_CHECK_BAR 1101
#define IDC_CHECK_COUNT 1102
#define IDC_CHECK_STATES 1103

// Profile dialog: the drop-down list of the four profiles.
#define IDC_PROFILE_CHOICE 1015

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
