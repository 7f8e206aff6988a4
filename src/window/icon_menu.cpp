// The notification-area icon's right-button menu: restore, cancel printing, end.
#include "app/app.h"
#include "window/window.h"

void ShowIconMenu(HWND window) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  AppendMenuW(menu, MF_STRING, IDM_RESTORE, MENU_TEXT_RESTORE);
  AppendMenuW(menu, MF_SEPARATOR, 0, NULL);
  AppendMenuW(menu, MF_STRING, IDM_CANCEL_PRINT, MENU_TEXT_CANCEL_PRINT);
  AppendMenuW(menu, MF_SEPARATOR, 0, NULL);
  AppendMenuW(menu, MF_STRING, IDM_EXIT, MENU_TEXT_EXIT);

  POINT cursor = {0, 0};
  GetCursorPos(&cursor);
  // Without the foreground the menu would not close when the operator clicks
  // elsewhere; the posted message lets it close properly the next time.
  SetForegroundWindow(window);
  UINT choice = (UINT)TrackPopupMenu(menu, ICON_MENU_FLAGS, cursor.x, cursor.y, 0, window, NULL);
  PostMessageW(window, WM_USER, 0, 0);
  DestroyMenu(menu);
  ActOnIconMenuChoice(window, choice);
}

void ActOnIconMenuChoice(HWND window, UINT choice) {
  if (monitorState->trayMode != 1) return;
  switch (choice) {
    case IDM_RESTORE:
      SendMessageW(window, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
      break;
    case IDM_CANCEL_PRINT:
      SendMessageW(window, WM_COMMAND, IDC_CANCEL_PRINT, 0);
      break;
    case IDM_EXIT:
      SendMessageW(window, WM_DESTROY, 0, 0);
      break;
  }
}
