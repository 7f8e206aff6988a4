/* Resource identifiers of the status window, shared by the resource script and the code. */
#ifndef KR470_RESOURCE_H
#define KR470_RESOURCE_H

#define IDD_STATUS          197

#define IDC_STATUS_ICON     1026
#define IDC_DOCUMENT_NAME   1031
#define IDC_OK              1044
#define IDC_CANCEL_PRINT    1047
#define IDC_USER_NAME       1050
#define IDC_STATUS_TEXT     1060

#define IDI_READY           199
#define IDI_NOTICE          211
#define IDI_OPERATOR_ERROR  212
#define IDI_FAULT           213
#define IDI_HARDWARE_ERROR  226
#define IDI_PROGRAM         246
/* The template's static icon control names this id; no icon carries it. */
#define IDI_TEMPLATE_NONE   162

#define IDM_RESTORE         200
#define IDM_EXIT            300
#define IDM_CANCEL_PRINT    400

/* Notification-area callback message: WM_APP + 100. */
#define WM_TRAYNOTIFY       0x8064

#endif
