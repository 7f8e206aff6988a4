// Status window: the dialog, its notification-area icon and its placement.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include "window/resource.h"

extern HWND statusWindow;
extern NOTIFYICONDATAW trayIconData;
extern LONG minimiseFlag;

INT_PTR CALLBACK StatusDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The one notification-area icon: its id and the fields that every call carries.
enum { TRAY_ICON_ID = 1, TRAY_ICON_FLAGS = NIF_MESSAGE | NIF_ICON | NIF_TIP };
// The shell's record size on the target (no smaller older layout is used).
#ifdef _WIN64
static_assert(sizeof(NOTIFYICONDATAW) == 976, "NOTIFYICONDATAW has the full x64 layout");
#else
static_assert(sizeof(NOTIFYICONDATAW) == 956, "NOTIFYICONDATAW has the full x86 layout");
#endif

enum { TRAY_ADD = 0, TRAY_MODIFY = 1, TRAY_DELETE = 2 };
// Sets trayIconData up for the window: ready picture, empty tip; the icon is not added.
void FillTrayIconData(HWND window);
BOOL NotifyTrayIcon(int action);
void MinimiseToTray(HWND window);
BOOL IsCancelDefaultCode(int code);
void BringToFront(HWND window);
void DefaultToCancelPrint(HWND window);
void DefaultToOk(HWND window);

// Status codes whose instructions tell the operator to cancel printing: when
// the window comes up for them, that button is the default one.
enum { CANCEL_CODE_DATA_ERROR = 500, CANCEL_CODE_HARDWARE_ERROR = 700, CANCEL_CODE_NO_ANSWER = 1500 };

// Title of the window until the first tick writes its own.
#define INITIAL_TITLE_PREFIX L"StatusMonitor : "

// The icon's right-button menu. ShowIconMenu builds it, tracks it and acts on
// the choice; ActOnIconMenuChoice is that last step, which acts only while the
// window is in the notification area (a tick may have brought it up meanwhile).
enum {
  ICON_MENU_FLAGS = TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON,
};
#define MENU_TEXT_RESTORE L"元のサイズに戻す(&R)"
#define MENU_TEXT_CANCEL_PRINT L"印刷中止(&C)"
#define MENU_TEXT_EXIT L"ステータス表示の終了(&X)"
void ShowIconMenu(HWND window);
void ActOnIconMenuChoice(HWND window, UINT choice);

// Placement. A stored position is kept only when the window would overlap the
// work area by more than PLACEMENT_MARGIN pixels both across and down.
enum { PLACEMENT_MARGIN = 10 };
int RestoreWindowPosition(HWND window);
void CentreWindow(HWND window);
POINT CentredPosition(const RECT* workArea, int width, int height);
BOOL StoredPositionAccepted(const RECT* workArea, int x, int y, int width, int height);
