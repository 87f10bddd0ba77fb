// Identifiers of the program's resources and of the controls in its dialog
// templates. Shared by the .rc file and the window code.
#ifndef VNTRA_WIN_RESOURCE_IDS_H
#define VNTRA_WIN_RESOURCE_IDS_H

#define IDI_PROGRAM 101
#define IDD_CALENDAR 102
#define IDM_CALENDAR_MENU 103
#define IDM_TRAY_MENU 110
#define IDD_NOTICE 116

// Tray menu (110)
#define CMD_EXIT 40006
#define CMD_TRAY_SETTINGS 40007
#define CMD_TRAY_HELP 40008
#define CMD_TRAY_ABOUT 40009
#define CMD_TRAY_IMPORT 40011
#define CMD_TRAY_EXPORT 40012

// Calendar window menu (103)
#define CMD_TO_TRAY 40002
#define CMD_SETTINGS 40003
#define CMD_HELP 40004
#define CMD_ABOUT 40005
#define CMD_IMPORT 40010
#define CMD_EXPORT 40013

// Calendar window (102)
#define IDC_FIRST_CELL 1001 // 1001–1042, row-major, column 0 = Sunday
#define IDC_LAST_CELL 1042
#define IDC_YEAR 1043
#define IDC_MONTH 1044
#define IDC_PREVIOUS_MONTH 1045
#define IDC_THIS_MONTH 1046
#define IDC_NEXT_MONTH 1047
#define IDC_FIRST_WEEKDAY_HEADER 1048 // 1048–1054, 日 … 土
#define IDC_LAST_WEEKDAY_HEADER 1054
#define IDC_EDIT_SCHEDULE 1059
#define IDC_DELETE_SCHEDULE 1061
#define IDC_SEND_MAIL 1062
#define IDC_MONTH_LIST 1090
#define IDC_MAIL_PROGRESS 1091
#define IDC_NEW_TODO 1110
#define IDC_EDIT_TODO 1111
#define IDC_DELETE_TODO 1112
#define IDC_TODO_LIST 1113
#define IDC_TODO_NOTICE 1115
#define IDC_SEND_MONTH 1123
#define IDC_SEND_WEEK1 1124 // 1124–1129, 第１週 … 第６週
#define IDC_SEND_WEEK5 1128
#define IDC_SEND_WEEK6 1129
#define IDC_WEEK_LIST 1130
#define IDC_MARK_MONTH 1151
#define IDC_MARK_WEEK 1152
#define IDC_MARK_TODAY 1153
#define IDC_NEXT_TIMED_MAIL 1179

// Notice window (116)
#define IDC_NOTICE_OK 1055
#define IDC_NOTICE_TEXT 1102

#include "editing_ids.h"
#include "exchange_ids.h"
#include "help_ids.h"
#include "settings_ids.h"
#include "security_ids.h"
#include "timed_mail_ids.h"

#endif
