// Control ids of the help window (108) and the about box (109).
#ifndef VNTRA_WIN_HELP_IDS_H
#define VNTRA_WIN_HELP_IDS_H

#define IDD_HELP 108
#define IDD_ABOUT 109

#define IDC_HELP_OK 1055 // "OK" in both
#define IDC_HELP_TEXT 1083
#define IDC_ABOUT_MAIL 1084
#define IDC_ABOUT_PRODUCT 1096
#define IDC_ABOUT_DESCRIPTION 1097

#endif
