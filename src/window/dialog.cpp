// Placeholder until the status window lands.
#include "app/app.h"
#include "window/window.h"
HWND statusWindow;
NOTIFYICONDATAW trayIconData;
LONG minimiseFlag = 1;
INT_PTR CALLBACK StatusDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) statusWindow = window;
  if (message == WM_DESTROY) { SetWindowLongPtrW(window, DWLP_USER, 1); EndDialog(window, 1); }
  return FALSE;
}
BOOL NotifyTrayIcon(int) { return TRUE; }
void MinimiseToTray(HWND window) { minimiseFlag = 0; CloseWindow(window); }
