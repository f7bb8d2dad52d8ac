// Every text that the program shows its user, written once. The resource
// script puts them into the dialog templates and the string table, from which
// the program reads them by their IDS_ ids (res/resource.h); the simulated
// dialog and the tests take them from here, so that none is written twice.
#pragma once

#include "res/resource.h"

// The main dialog's caption and its template's texts
#define TEXT_TITLE "Nimbrel Veruvo 1.0"
#define TEXT_START "Nimbrel Surf The Web"
#define TEXT_SET_COORDINATES "Set Coordinates of Address Bar"
#define TEXT_LOCATION "Address Bar Location"
#define TEXT_TRACE "Trace Address Bar"
#define TEXT_STOP_AFTER "Stop After"
#define TEXT_HOURS "Hours"
#define TEXT_EMAIL_LINK "by Valmoran"
#define TEXT_WEB_LINK MAKER_WEB_HOST
#define TEXT_TLC "TLC"
#define TEXT_BRC "BRC"

// A surf session: the Start/Stop button while one runs, and its summary box
#define TEXT_STOP "Stop Surfing"
#define TEXT_DONE "Done Surfing"
#define TEXT_IDLE "Nimbrel Veruvo Idle"
#define TEXT_SUMMARY_ONE "User has interrupted Nimbrel Veruvo.\nSurfed 1 page in %.1lld:%2.2lld"
#define TEXT_SUMMARY_MANY "User has interrupted Nimbrel Veruvo.\nSurfed %lu pages in %.1lld:%2.2lld"

// The calibration and trace buttons while they work
#define TEXT_RECORD_TOP_LEFT "Hit Spacebar to Record Top Left"
#define TEXT_RECORD_BOTTOM_RIGHT "Hit Spacebar to Record Bottom Right"
#define TEXT_STORING_TOP_LEFT "Set Bottom Right Corner"
#define TEXT_TRACING "Tracing Address Bar"

// The status line while surfing
#define TEXT_NO_LIMIT "Will surf until user interrupts me"
#define TEXT_WILL_STOP_IN "Will stop in "
#define TEXT_ONE_HOUR "1 hour"
#define TEXT_HOURS_LEFT " hours"
#define TEXT_ONE_MINUTE "1 minute"
#define TEXT_MINUTES_LEFT " minutes"
#define TEXT_FINISHING "Finishing Current Page"
#define TEXT_UNREACHED "Cannot reach the browser"

// Tooltips
#define TEXT_TIP_START "Start/Stop surfing the web."
#define TEXT_TIP_TRACE "Trace the location of the Address Bar."
#define TEXT_TIP_SET_COORDINATES "Set the location of the Address Bar."
#define TEXT_TIP_HOURS "Enter the number of hours to surf.  Decimals are allowed."
#define TEXT_TIP_WEB_LINK "Updates, info, new products, mailing lists, etc."
#define TEXT_TIP_EMAIL_LINK "Email me."
#define TEXT_TIP_TLC "Top left corner coordinate of Address Bar."
#define TEXT_TIP_BRC "Bottom right corner coordinate of Address Bar."

// The hours field's refusals, and the end of a program that failed
#define TEXT_NOT_A_NUMBER "Please enter a number."
#define TEXT_OUT_OF_RANGE "Please enter a number between %1 and %2."
#define TEXT_INTERNAL_ERROR "Unexpected internal error."

// A calibration that could not be saved (the file's full path in place of %s)
#define TEXT_NOT_SAVED \
    "The address bar could not be saved to\n%s\n\nThe corners you recorded are used until Veruvo is closed."

// The string table: each id with its text.
#define VERUVO_STRING_TABLE(ROW)                            \
    ROW(IDS_TITLE, TEXT_TITLE)                              \
    ROW(IDS_START, TEXT_START)                              \
    ROW(IDS_STOP, TEXT_STOP)                                \
    ROW(IDS_DONE, TEXT_DONE)                                \
    ROW(IDS_IDLE, TEXT_IDLE)                                \
    ROW(IDS_SUMMARY_ONE, TEXT_SUMMARY_ONE)                  \
    ROW(IDS_SUMMARY_MANY, TEXT_SUMMARY_MANY)                \
    ROW(IDS_SET_COORDINATES, TEXT_SET_COORDINATES)          \
    ROW(IDS_RECORD_TOP_LEFT, TEXT_RECORD_TOP_LEFT)          \
    ROW(IDS_RECORD_BOTTOM_RIGHT, TEXT_RECORD_BOTTOM_RIGHT)  \
    ROW(IDS_STORING_TOP_LEFT, TEXT_STORING_TOP_LEFT)        \
    ROW(IDS_TRACE, TEXT_TRACE)                              \
    ROW(IDS_TRACING, TEXT_TRACING)                          \
    ROW(IDS_NO_LIMIT, TEXT_NO_LIMIT)                        \
    ROW(IDS_WILL_STOP_IN, TEXT_WILL_STOP_IN)                \
    ROW(IDS_ONE_HOUR, TEXT_ONE_HOUR)                        \
    ROW(IDS_HOURS_LEFT, TEXT_HOURS_LEFT)                    \
    ROW(IDS_ONE_MINUTE, TEXT_ONE_MINUTE)                    \
    ROW(IDS_MINUTES_LEFT, TEXT_MINUTES_LEFT)                \
    ROW(IDS_FINISHING, TEXT_FINISHING)                      \
    ROW(IDS_UNREACHED, TEXT_UNREACHED)                      \
    ROW(IDS_TIP_START, TEXT_TIP_START)                      \
    ROW(IDS_TIP_TRACE, TEXT_TIP_TRACE)                      \
    ROW(IDS_TIP_SET_COORDINATES, TEXT_TIP_SET_COORDINATES)  \
    ROW(IDS_TIP_HOURS, TEXT_TIP_HOURS)                      \
    ROW(IDS_TIP_WEB_LINK, TEXT_TIP_WEB_LINK)                \
    ROW(IDS_TIP_EMAIL_LINK, TEXT_TIP_EMAIL_LINK)            \
    ROW(IDS_TIP_TLC, TEXT_TIP_TLC)                          \
    ROW(IDS_TIP_BRC, TEXT_TIP_BRC)                          \
    ROW(IDS_NOT_A_NUMBER, TEXT_NOT_A_NUMBER)                \
    ROW(IDS_OUT_OF_RANGE, TEXT_OUT_OF_RANGE)                \
    ROW(IDS_INTERNAL_ERROR, TEXT_INTERNAL_ERROR)            \
    ROW(IDS_NOT_SAVED, TEXT_NOT_SAVED)
