// The notification-area icon and the moves between it, the taskbar and the front.
#include "app/app.h"
#include "window/window.h"

NOTIFYICONDATAW trayIconData;
LONG minimiseFlag = 1;

void FillTrayIconData(HWND window) {
  // Every field not set here stays zero: no balloon, no version, no GUID.
  ZeroMemory(&trayIconData, sizeof trayIconData);
  trayIconData.cbSize = sizeof trayIconData;
  trayIconData.hWnd = window;
  trayIconData.uID = TRAY_ICON_ID;
  trayIconData.uFlags = TRAY_ICON_FLAGS;
  trayIconData.uCallbackMessage = WM_TRAYNOTIFY;
  trayIconData.hIcon = LoadIconW(instanceHandle, MAKEINTRESOURCEW(IDI_READY));
}

BOOL NotifyTrayIcon(int action) {
  switch (action) {
    case TRAY_ADD: return Shell_NotifyIconW(NIM_ADD, &trayIconData);
    case TRAY_MODIFY: return Shell_NotifyIconW(NIM_MODIFY, &trayIconData);
    case TRAY_DELETE: return Shell_NotifyIconW(NIM_DELETE, &trayIconData);
  }
  return FALSE;
}

void MinimiseToTray(HWND window) {
  // Already there (a cancel chosen from the icon menu, a tick after the
  // operator hid the window): minimising a hidden window would show it on the
  // taskbar, and no WM_SIZE would come to take back the flag.
  if (monitorState && monitorState->trayMode == 1) return;
  // Marks the minimise as ours: WM_SIZE turns it into hiding in the notification area.
  minimiseFlag = 0;
  CloseWindow(window);
}

BOOL IsCancelDefaultCode(int code) {
  WORD low = LOWORD(code);
  return low == CANCEL_CODE_DATA_ERROR || low == CANCEL_CODE_HARDWARE_ERROR || low == CANCEL_CODE_NO_ANSWER;
}

void BringToFront(HWND window) {
  // Topmost and back lifts the window above the others even when another
  // program is in the foreground and refuses to give up the focus.
  const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
  SetForegroundWindow(window);
}

static void SetButtonStyle(HWND window, int id, LONG style) {
  SendDlgItemMessageW(window, id, BM_SETSTYLE, style, TRUE);
}

// A window that is still minimised takes no focus, and once open the dialog
// manager gives the focus back to the control that had it before: the default
// style would then sit on one button and Enter press the other. The dialog
// manager focuses the button once the window is open.
static void FocusButton(HWND window, int id) {
  HWND button = GetDlgItem(window, id);
  SetFocus(button);
  if (GetFocus() != button) PostMessageW(window, WM_NEXTDLGCTL, (WPARAM)button, TRUE);
}

void DefaultToCancelPrint(HWND window) {
  // With nothing to cancel the button is disabled: a default that Enter cannot
  // press would leave the operator with none, so OK keeps it.
  if (!IsWindowEnabled(GetDlgItem(window, IDC_CANCEL_PRINT))) {
    DefaultToOk(window);
    return;
  }
  SetButtonStyle(window, IDC_OK, BS_PUSHBUTTON);
  SetButtonStyle(window, IDC_CANCEL_PRINT, BS_DEFPUSHBUTTON);
  FocusButton(window, IDC_CANCEL_PRINT);
}

void DefaultToOk(HWND window) {
  SetButtonStyle(window, IDC_OK, BS_DEFPUSHBUTTON);
  SetButtonStyle(window, IDC_CANCEL_PRINT, BS_PUSHBUTTON);
  FocusButton(window, IDC_OK);
}
