// The status window's dialog procedure: initialisation, commands, the moves in
// and out of the notification area, the double-click and the end.
#include "app/app.h"
#include "requests/requests.h"
#include "status/status.h"
#include "window/window.h"

HWND statusWindow;

static void SetInitialTitle(HWND window, const WCHAR* printerName) {
  WCHAR title[TITLE_UNITS];
  lstrcpynW(title, INITIAL_TITLE_PREFIX, TITLE_UNITS);
  int used = lstrlenW(title);
  lstrcpynW(title + used, printerName, TITLE_UNITS - used);
  SetWindowTextW(window, title);
}

// Leaves Move, Minimize and Close: the window has one size and is never maximised.
static void TrimSystemMenu(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  // Each position counts in the menu as the deletion before left it: Restore,
  // Size and Maximize go; the last finds no entry on the standard menu.
  static const UINT positions[] = {0, 1, 2, 4};
  for (UINT position : positions) DeleteMenu(menu, position, MF_BYPOSITION);
  DrawMenuBar(window);
}

static void Initialise(HWND window) {
  MonitorState* state = monitorState;
  statusWindow = window;
  // A refresh that says "end" hides the window; the tick's next refresh ends the monitor.
  if (RefreshStatus(window, state) != REFRESH_DONE) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  SetInitialTitle(window, state->printerName);
  SetClassLongPtrW(window, GCLP_HICON, (LONG_PTR)LoadIconW(instanceHandle, MAKEINTRESOURCEW(IDI_READY)));
  TrimSystemMenu(window);
  FillTrayIconData(window);
  state->timerId = SetTimer(window, (UINT_PTR)state, TICK_MILLISECONDS, StatusTimerProc);
  RestoreWindowPosition(window);
}

static void OnCommand(HWND window, WORD id) {
  switch (id) {
    case IDCANCEL:
    case IDC_OK:
      MinimiseToTray(window);
      break;
    case IDC_CANCEL_PRINT:
      RequestPrintCancel(window);
      break;
  }
}

// Only a minimise of the monitor's own hides the window; the operator's own
// leaves it on the taskbar.
static void OnSize(HWND window, WPARAM kind) {
  if (kind != SIZE_MINIMIZED || minimiseFlag != 0) return;
  minimiseFlag = 1;
  NotifyTrayIcon(TRAY_ADD);
  ShowWindow(window, SW_HIDE);
  monitorState->trayMode = 1;
}

static void OnQueryOpen(HWND window) {
  NotifyTrayIcon(TRAY_DELETE);
  monitorState->trayMode = 0;
  BringToFront(window);
  if (IsCancelDefaultCode(monitorState->statusCode)) DefaultToCancelPrint(window);
  else DefaultToOk(window);
}

static void RemoveShownIcon(void) {
  if (monitorState->trayMode != 1) return;
  NotifyTrayIcon(TRAY_DELETE);
  monitorState->trayMode = 0;
}

// Runs twice: when the monitor decides to end, and when the main loop destroys the window.
static void OnDestroy(HWND window) {
  MonitorState* state = monitorState;
  RemoveShownIcon();
  if (state->timerId != 0 && KillTimer(window, state->timerId)) state->timerId = 0;
  SetWindowLongPtrW(window, DWLP_USER, EXIT_THROUGH_WINDOW);
  EndDialog(window, EXIT_THROUGH_WINDOW);
}

// The inquiry has told the operator why; nothing but the icon and the claim
// need to go first (an icon left by an ended process stays until hovered).
[[noreturn]] static void EndAtOnce(void) {
  RemoveShownIcon();
  ReleaseInstanceMutex();
  EndProcess(EXIT_QUIET);
}

static void OnDoubleClick(HWND window) {
  MonitorState* state = monitorState;
  if (inquiryRunning) return;
  if (state->statusCode == state->previousCode) {
    int result = StatusInquiry();
    inquiryRunning = 0;
    if (result == INQUIRY_FATAL) EndAtOnce();
    if (result == INQUIRY_EXPLAINED) return;
  }
  // Restoring from the notification area runs OnQueryOpen first.
  ShowWindow(window, SW_SHOWNOACTIVATE);
  // Ticks during the inquiry may have changed the codes: read them again.
  if (state->statusCode == state->previousCode) return;
  BringToFront(window);
  if (IsCancelDefaultCode(state->statusCode)) DefaultToCancelPrint(window);
  else if (IsCancelDefaultCode(state->previousCode)) DefaultToOk(window);
}

// Every message answers FALSE: no focus of the dialog manager's own at start,
// the window may open, and WM_CLOSE becomes IDCANCEL, which hides the window.
INT_PTR CALLBACK StatusDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(window);
      break;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam));
      break;
    case WM_SIZE:
      OnSize(window, wParam);
      break;
    case WM_QUERYOPEN:
      OnQueryOpen(window);
      break;
    case WM_DESTROY:
      OnDestroy(window);
      break;
    case WM_TRAYNOTIFY:
      if (lParam == WM_LBUTTONDBLCLK) OnDoubleClick(window);
      else if (lParam == WM_RBUTTONDOWN) ShowIconMenu(window);
      break;
  }
  return FALSE;
}
