/* The ids of the desktop program's windows, controls, commands and icons,
   shared by both faces and by the Windows resource script (which is why this
   file holds only #defines). A window or control is found by its id: tests,
   screen readers and automation rely on them. */
#pragma once

/* Icons: the program's, then the event file's ("<program>,1"). */
#define IDI_PROGRAM 128
#define IDI_EVENT_FILE 129

/* Dialog templates and the main window's menu. */
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_READING 103
#define IDD_SETTINGS 106
#define IDD_FILTER 130
#define IDR_MAIN_MENU 131
#define IDD_REPORT_OPTIONS 138
/* Windows of their own beside the main window. */
#define IDD_ARCHIVE 140
#define IDD_STATISTICS 141
#define IDD_INTEGRITY 142
#define IDD_HELP 143
/* The find bar below the event list, a child dialog of the main window on
   Windows; and the main window's keyboard shortcuts there. */
#define IDD_FIND_BAR 144
#define IDR_ACCELERATORS 150

/* Buttons most dialogs share. */
#define IDC_OK 1
#define IDC_CANCEL 2

/* Main window: controls and commands. */
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
#define IDM_HELP 32777
#define IDM_SETTINGS 32779
#define IDM_ABOUT 32780
#define IDM_EXIT 32781
/* Commands of their own. */
#define IDM_ARCHIVE 32790
#define IDM_FIND 32791
#define IDM_PRINT 32792
#define IDM_STATISTICS 32793
#define IDM_INTEGRITY 32794
#define IDM_FIND_NEXT 32795
#define IDM_FIND_PREVIOUS 32796
#define IDM_SELECT_ALL 32797
#define IDM_COPY 32798
/* The find bar below the event list. */
#define IDC_FIND_TEXT 1201
#define IDC_FIND_COUNT 1202
#define IDC_FIND_PREVIOUS 1203
#define IDC_FIND_NEXT 1204
#define IDC_FIND_CLOSE 1205
#define IDC_FIND_LABEL 1206

/* Reading dialog. */
#define IDC_READING_STOP 2
#define IDC_READING_PROGRESS 1000
#define IDC_READING_STATUS 1001
#define IDC_READING_VERSION 1002
#define IDC_READING_COUNT 1003
#define IDC_READING_EVENT 1004
#define IDC_READING_LABEL 1005
/* Posted to the reading dialog when the reading has ended: completed (the
   dialog ends with 1), failed or stopped (it ends with 2). */
#define IDC_READING_DONE 107
#define IDC_READING_FAILED 108

/* Settings dialog. */
#define IDC_SETTINGS_SERIAL 1031
#define IDC_SETTINGS_AUTO 1032
#define IDC_SETTINGS_GAZ 1035
#define IDC_SETTINGS_PORT 1053

/* Filter dialog. */
#define IDC_FILTER_DATE_FROM 1012
#define IDC_FILTER_DATE_TO 1014
#define IDC_FILTER_BEAMS 1015
#define IDC_FILTER_FIRST_BEAM 1016
#define IDC_FILTER_LAST_BEAM 1017
#define IDC_FILTER_FIRST_DEVICE 1018
#define IDC_FILTER_DEVICES 1019
#define IDC_FILTER_MESSAGES 1020
#define IDC_FILTER_MODES 1021
#define IDC_FILTER_LAST_DEVICE 1022
#define IDC_FILTER_UNITS 1023
#define IDC_FILTER_SLAVES 1024
#define IDC_FILTER_PERIOD 1033

/* Report options dialog. */
#define IDC_SCOPE_FILTERED 1026
#define IDC_SCOPE_ALL 1030

/* Archive window. */
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
#define IDC_ARCHIVE_DETAILS 1112

/* Statistics, integrity and help windows. */
#define IDC_STATISTICS_SUMMARY 1301
#define IDC_STATISTICS_CHART 1302
#define IDC_STATISTICS_BEAMS 1303
#define IDC_STATISTICS_DEVICES 1304
#define IDC_INTEGRITY_COUNT 1311
#define IDC_INTEGRITY_TABLE 1312
#define IDC_HELP_TEXT 1321
