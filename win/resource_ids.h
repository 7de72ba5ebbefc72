// Resource numbers of the Windows desktop program: templates, menus, icons,
// controls and commands. They are a contract: tests and automation find every
// window by its template number and every control by its id. Included by the
// resource script too, so macros only.
#pragma once

// Templates and resources.
#define IDD_ABOUTBOX 100
#define IDD_LOGWICK_DIALOG 102
#define IDD_FETCHLOG 103
#define IDD_SETTINGS 106
#define IDI_PROGRAM 128
#define IDI_EVENT_FILE 129
#define IDD_FILTER 130
#define IDR_MAIN_MENU 131
#define IDD_TEXT_PARAM 138
// Windows of their own, numbered after the others.
#define IDD_ARCHIVE 140
#define IDD_FIND_BAR 141
#define IDD_STATISTICS 142
#define IDD_INTEGRITY 143
#define IDD_HELP 144
#define IDR_ACCELERATORS 150

// Main dialog (102).
#define IDC_READ_FROM_PANEL 1000
#define IDC_READ_FROM_FILE 1001
#define IDC_WRITE_TO_FILE 1002
#define IDC_WRITE_TEXT 1003
#define IDC_EVENT_LIST 1006
#define IDC_COUNT_LINE 1007
#define IDC_READ_LINE 1008
#define IDC_PANEL_LINE 1009
#define IDC_FILTER 1010
#define IDC_FILTER_LINE 1011
#define IDC_CONFIG_LINE 1012
#define IDC_VERSION_LINE 1013
#define IDC_HELP_BUTTON 1022
#define ID_HELP_FINDER 32777
#define ID_SETTINGS 32779
#define ID_APP_ABOUT 32780
#define ID_APP_EXIT 32781
// Commands of their own.
#define ID_ARCHIVE 32790
#define ID_FIND 32791
#define ID_FIND_NEXT 32792
#define ID_FIND_PREVIOUS 32793
#define ID_PRINT 32794
#define ID_STATISTICS 32795
#define ID_INTEGRITY 32796
#define ID_FIND_CLOSE 32797

// Reading dialog (103).
#define IDC_FETCH_PROGRESS 1000
#define IDC_FETCH_STATUS 1001
#define IDC_FETCH_VERSION 1002
#define IDC_FETCH_COUNT 1003
#define IDC_FETCH_EVENT 1004
#define IDC_FETCH_LABEL 1005
#define IDC_FETCH_STOP 2
#define ID_FETCH_DONE 107
#define ID_FETCH_FAILED 108

// Settings dialog (106).
#define IDC_SERIAL 1031
#define IDC_AUTO 1032
#define IDC_GAZ 1035
#define IDC_PORT 1053

// Filter dialog (130).
#define IDC_DATE_FROM 1012
#define IDC_DATE_TO 1014
#define IDC_BEAMS 1015
#define IDC_FIRST_BEAM 1016
#define IDC_LAST_BEAM 1017
#define IDC_FIRST_DEVICE 1018
#define IDC_DEVICES 1019
#define IDC_MESSAGES 1020
#define IDC_MODES 1021
#define IDC_LAST_DEVICE 1022
#define IDC_UNITS 1023
#define IDC_SLAVES 1024
#define IDC_PERIOD 1033

// Report options (138).
#define IDC_SCOPE_FILTERED 1026
#define IDC_SCOPE_ALL 1030

// Archive window (140).
#define IDC_ARCHIVE_PATH 1101
#define IDC_ARCHIVE_NARROW 1102
#define IDC_ARCHIVE_TABLE 1103
#define IDC_ARCHIVE_OPEN 1104
#define IDC_ARCHIVE_READINGS 1105
#define IDC_ARCHIVE_SERVER 1106
#define IDC_ARCHIVE_SYNC 1107
#define IDC_ARCHIVE_STOP 1108
#define IDC_ARCHIVE_PROGRESS 1109
#define IDC_ARCHIVE_STATUS 1110
#define IDC_ARCHIVE_CLOSE 1111

// Find bar (141).
#define IDC_FIND_TEXT 1121
#define IDC_FIND_COUNT 1122
#define IDC_FIND_PREVIOUS 1123
#define IDC_FIND_NEXT 1124
#define IDC_FIND_CLOSE 1125

// Statistics (142).
#define IDC_STATS_SUMMARY 1131
#define IDC_STATS_CHART 1132
#define IDC_STATS_BEAMS 1133
#define IDC_STATS_DEVICES 1134

// Integrity (143).
#define IDC_INTEGRITY_COUNT 1141
#define IDC_INTEGRITY_TABLE 1142

// Help (144).
#define IDC_HELP_TEXT 1151

// Window classes of the program's own, named in the templates.
#define LOGWICK_EVENT_LIST_CLASS "LogwickEventList"
#define LOGWICK_DAY_CHART_CLASS "LogwickDayChart"
