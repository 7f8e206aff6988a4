// Looking at another process's windows, and clicking them for real.
#include "e2e.h"
#include "window/resource.h"

#define DIALOG_CLASS L"#32770"
#define MENU_CLASS L"#32768"
// Without a virtual desktop or a tray of the X session, Wine keeps icons here.
#define TRAY_CLASS L"__winex11_standalone_tray"

enum {
  TEXT_UNITS = 4096,
  MESSAGE_TIMEOUT_MS = 2000,
  TRAY_ICON_CENTRE = 10,      // Wine's tray lays out 20-pixel cells from its left edge
  CLICK_DELAY_MS = 100,       // between the clicks of a double-click
  CLASS_UNITS = 64,
};

struct WindowSearch {
  DWORD processId;
  BOOL statusWindow;  // looking for the status window, else for a message box
  BOOL visibleOnly;
  HWND found;
  int count;
};

static BOOL IsDialog(HWND window) {
  WCHAR name[CLASS_UNITS];
  return GetClassNameW(window, name, CLASS_UNITS) && lstrcmpW(name, DIALOG_CLASS) == 0;
}

static BOOL CALLBACK VisitWindow(HWND window, LPARAM parameter) {
  WindowSearch* search = (WindowSearch*)parameter;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  if (search->visibleOnly) {
    if (IsWindowVisible(window)) search->count++;
    return TRUE;
  }
  if (IsDialog(window) && (GetDlgItem(window, IDC_STATUS_TEXT) != NULL) == search->statusWindow) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

static HWND FindDialog(DWORD processId, BOOL statusWindow) {
  WindowSearch search = {processId, statusWindow, FALSE, NULL, 0};
  EnumWindows(VisitWindow, (LPARAM)&search);
  return search.found;
}

HWND FindStatusWindow(DWORD processId) {
  return FindDialog(processId, TRUE);
}

HWND FindMessageBox(DWORD processId) {
  return FindDialog(processId, FALSE);
}

int CountWindows(DWORD processId) {
  WindowSearch search = {processId, FALSE, TRUE, NULL, 0};
  EnumWindows(VisitWindow, (LPARAM)&search);
  return search.count;
}

// WM_GETTEXT crosses into the other process; a busy monitor must not hang the test.
std::wstring WindowText(HWND window) {
  WCHAR text[TEXT_UNITS] = L"";
  DWORD_PTR copied = 0;
  if (!window || !SendMessageTimeoutW(window, WM_GETTEXT, TEXT_UNITS, (LPARAM)text, SMTO_ABORTIFHUNG,
                                      MESSAGE_TIMEOUT_MS, &copied))
    return L"";
  return std::wstring(text, copied);
}

std::wstring ControlText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

BOOL HasDefaultStyle(HWND dialog, int id) {
  return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

BOOL ControlEnabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id));
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info) ? info.hwndFocus : NULL;
}

HWND TrayWindow(void) {
  return FindWindowW(TRAY_CLASS, NULL);
}

// Wine's stand-alone notification area is shown only while it holds an icon,
// and the monitor's is the only program with one in the test prefix.
BOOL TrayIconShown(void) {
  HWND tray = TrayWindow();
  return tray && IsWindowVisible(tray);
}

HWND FindPopupMenu(void) {
  HWND menu = FindWindowW(MENU_CLASS, NULL);
  return menu && IsWindowVisible(menu) ? menu : NULL;
}

// xdotool, a Linux program, started through Wine, which runs it directly.
static std::wstring Xdotool(void) {
  std::wstring path = L"Z:";
  for (const char* c = E2E_XDOTOOL; *c; c++) path += (*c == '/') ? L'\\' : (WCHAR)*c;
  return path;
}

BOOL ClickAvailable(void) {
  return E2E_XDOTOOL[0] && GetFileAttributesW(Xdotool().c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The click goes through the X server like the operator's; the caller waits
// for its effect, since Wine gives no handle to wait on for a Linux program.
BOOL ClickAt(int x, int y, int button, int count) {
  WCHAR arguments[TEXT_UNITS];
  _snwprintf(arguments, TEXT_UNITS, L" mousemove --sync %d %d click --repeat %d --delay %d %d", x, y, count,
             CLICK_DELAY_MS, button);
  std::wstring commandLine = Xdotool() + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started)) return FALSE;
  if (started.hThread) CloseHandle(started.hThread);
  if (started.hProcess) CloseHandle(started.hProcess);
  return TRUE;
}

BOOL ClickTrayIcon(int button, int count) {
  RECT area;
  HWND tray = TrayWindow();
  if (!tray || !IsWindowVisible(tray) || !GetWindowRect(tray, &area)) return FALSE;
  POINT centre = {TRAY_ICON_CENTRE, TRAY_ICON_CENTRE};
  ClientToScreen(tray, &centre);
  return ClickAt(centre.x, centre.y, button, count);
}

BOOL ClickControl(HWND dialog, int id) {
  RECT area;
  if (!GetWindowRect(GetDlgItem(dialog, id), &area)) return FALSE;
  return ClickAt((area.left + area.right) / 2, (area.top + area.bottom) / 2, LEFT_BUTTON, 1);
}
