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

// The string table (res/Texts.h holds the texts)
#define IDS_TITLE 2001
#define IDS_START 2002
#define IDS_STOP 2003
#define IDS_DONE 2004
#define IDS_IDLE 2005
#define IDS_SUMMARY_ONE 2006
#define IDS_SUMMARY_MANY 2007
#define IDS_SET_COORDINATES 2008
#define IDS_RECORD_TOP_LEFT 2009
#define IDS_RECORD_BOTTOM_RIGHT 2010
#define IDS_STORING_TOP_LEFT 2011
#define IDS_TRACE 2012
#define IDS_TRACING 2013
#define IDS_NO_LIMIT 2014
#define IDS_WILL_STOP_IN 2015
#define IDS_ONE_HOUR 2016
#define IDS_HOURS_LEFT 2017
#define IDS_ONE_MINUTE 2018
#define IDS_MINUTES_LEFT 2019
#define IDS_FINISHING 2020
#define IDS_UNREACHED 2021
#define IDS_TIP_START 2022
#define IDS_TIP_TRACE 2023
#define IDS_TIP_SET_COORDINATES 2024
#define IDS_TIP_HOURS 2025
#define IDS_TIP_WEB_LINK 2026
#define IDS_TIP_EMAIL_LINK 2027
#define IDS_TIP_TLC 2028
#define IDS_TIP_BRC 2029
#define IDS_NOT_A_NUMBER 2030
#define IDS_OUT_OF_RANGE 2031
#define IDS_INTERNAL_ERROR 2032
#define IDS_NOT_SAVED 2033

// The maker, one build-time constant for every place that names it
#define MAKER_WEB_HOST "www.nimbrel.com"
#define MAKER_EMAIL "feedback@nimbrel.com"

// Standard dialog commands, for sources built without <windows.h>
#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#endif
