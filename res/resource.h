// Resource, control, command and timer ids of the program, grouped by kind.
// Shared by the .rc script (windres) and the C++ sources.
#pragma once

// Dialog templates
#define IDD_SURF_DIALOG 102
#define IDD_SPLASH 136

// Icons and bitmaps
#define IDI_MAIN 132
#define IDB_SPLASH 139

// Controls of the main dialog (IDOK is the Start/Stop button)
#define IDC_SET_COORDS 1001
#define IDC_TLC_POS 1003
#define IDC_BRC_POS 1004
#define IDC_TRACE 1005
#define IDC_HOURS 1006
#define IDC_STOP_AFTER_LABEL 1015
#define IDC_HOURS_LABEL 1017
#define IDC_STATUS 1018
#define IDC_TLC_LABEL 1021
#define IDC_BRC_LABEL 1022
#define IDC_EMAIL_LINK 1028
#define IDC_WEB_LINK 1029

// Controls of the splash screen
#define IDC_SPLASH_BITMAP 1030

// Window timers of the main dialog
#define TIMER_SURF 101
#define TIMER_TRACK_TL 102
#define TIMER_TRACK_BR 103
#define TIMER_STATUS 104

// The maker, one build-time constant for every place that names it
#define MAKER_WEB_HOST "www.nimbrel.com"
#define MAKER_EMAIL "feedback@nimbrel.com"

// Standard dialog commands, for sources built without <windows.h>
#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#endif
