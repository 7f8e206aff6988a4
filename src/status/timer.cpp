// The twice-a-second tick: refresh, notification-area icon, and the window that comes up on errors by itself.
#include "connection/connection.h"
#include "status/status.h"
#include "window/window.h"

static void UpdateTrayIcon(const MonitorState* state) {
  ZeroMemory(trayIconData.szTip, sizeof trayIconData.szTip);
  lstrcpynW(trayIconData.szTip, state->tipText, TRAY_TIP_CHARS + 1);
  HICON icon = LoadIconW(instanceHandle, MAKEINTRESOURCEW(TrayIconId(state->statusCode)));
  trayIconData.hIcon = icon;
  // A shown window has no icon: the next add carries the picture and tip.
  if (state->trayMode == 1 && icon) NotifyTrayIcon(TRAY_MODIFY);
}

// Errors bring the window up once per change; their end puts it away again.
static void SurfaceOrHide(HWND window, const MonitorState* state) {
  if (startDisplayMode != CB_DISPLAY_MODE_ERRORS) return;
  if (state->statusCode >= FIRST_ERROR_CODE && state->statusCode != state->previousCode)
    PostMessageW(window, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
  else if (state->statusCode < FIRST_ERROR_CODE && state->previousCode >= FIRST_ERROR_CODE)
    MinimiseToTray(window);
}

void CALLBACK StatusTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time) {
  MonitorState* state = (MonitorState*)timerId;
  // Stopped while it runs, so the refresh's own message pumping cannot start another tick.
  if (state->timerId != 0 && KillTimer(window, state->timerId)) state->timerId = 0;

  if (RefreshStatus(window, state) == REFRESH_END) {
    SendMessageW(window, WM_DESTROY, 0, 0);
    return;
  }
  UpdateTrayIcon(state);
  SurfaceOrHide(window, state);
  // Armed last, so the next tick comes a full interval after this one ends.
  state->timerId = SetTimer(window, (UINT_PTR)state, TICK_MILLISECONDS, StatusTimerProc);
}
