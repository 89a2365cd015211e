#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_SETTINGS 102

// Strings
#define IDS_ABOUTBOX 101

// Icons
#define IDI_APPLICATION_ICON 128
#define IDI_FOLDER_ICON 129

// Controls of the settings dialog
#define IDC_REFRESH_LIST 3
#define IDC_CHANGE_NOW 4
#define IDC_PATH 1000
#define IDC_BROWSE 1001
#define IDC_FILE_COUNT 1002
#define IDC_SCAN_TIME 1003
#define IDC_AUTOSTART 1004

// Controls of the About box
#define IDC_HOMEPAGE_LINK 1005
#define IDC_FEEDBACK_LINK 1006

// System-menu command of the About entry
#define IDM_ABOUTBOX 0x0010
