// Status window: the dialog, its notification-area icon and its placement.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include "window/resource.h"

extern HWND statusWindow;
extern NOTIFYICONDATAW trayIconData;
extern LONG minimiseFlag;

INT_PTR CALLBACK StatusDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

enum { TRAY_ADD = 0, TRAY_MODIFY = 1, TRAY_DELETE = 2 };
BOOL NotifyTrayIcon(int action);
void MinimiseToTray(HWND window);
BOOL IsCancelDefaultCode(int code);
void BringToFront(HWND window);
void DefaultToCancelPrint(HWND window);
void DefaultToOk(HWND window);

// Placement.
int RestoreWindowPosition(HWND window);
void CentreWindow(HWND window);
POINT CentredPosition(const RECT* workArea, int width, int height);
BOOL StoredPositionAccepted(const RECT* workArea, int x, int y, int width, int height);
