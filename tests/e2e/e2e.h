// End-to-end tests: the real kr470mon.exe under Wine with the scripted
// spooler DLL beside it, watched and steered from outside its process.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <gtest/gtest.h>

#define E2E_PRINTER L"KR-470"
#define E2E_DRIVER L"NRV KR-470 Raster"
#define E2E_PORT L"USB001"
#define E2E_DUMMY_DOCUMENT L"QATOLMWindow-Dummy"

enum {
  E2E_SLOT_KR470 = 5,
  E2E_SLOT_DUMMY = 1,
  E2E_START_MS = 8000,     // the monitor's first window under a cold Wine
  // A few 500 ms ticks, with room for a loaded machine and for Wine waiting up
  // to 2 s on a window manager that Xvfb does not have (when windows are managed).
  E2E_TICKS_MS = 6000,
  E2E_EXIT_MS = 5000,
  E2E_ANSI_CODE_PAGE = 932,
  MESSAGE_BOX_TEXT_ID = 0xFFFF,  // the static that holds a message box's text
};

// Processes started from bin\ (kr470mon.exe, lmsim.exe).
HANDLE StartProgram(const WCHAR* program, const std::wstring& arguments, DWORD* processId);
// TRUE with the exit code when the process ended within the time.
BOOL WaitForExit(HANDLE process, DWORD milliseconds, DWORD* exitCode);
void StopProcess(HANDLE* process);

BOOL WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);

// Top-level windows of a process: the status window (it has the message
// control) and a message box (a dialog without it).
HWND FindStatusWindow(DWORD processId);
HWND FindMessageBox(DWORD processId);
int CountWindows(DWORD processId);  // visible top-level windows
std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int id);
BOOL HasDefaultStyle(HWND dialog, int id);
HWND FocusOf(HWND window);
BOOL ControlEnabled(HWND dialog, int id);

// Wine's notification area: a window of its own while it holds icons.
HWND TrayWindow(void);
BOOL TrayIconShown(void);
HWND FindPopupMenu(void);

// Real mouse clicks through the X server (xdotool); FALSE when it is missing.
BOOL ClickAvailable(void);
BOOL ClickAt(int x, int y, int button, int count);
BOOL ClickTrayIcon(int button, int count);
BOOL ClickControl(HWND dialog, int id);
enum { LEFT_BUTTON = 1, RIGHT_BUTTON = 3 };

// The shared record from the language monitor's side, in the test process.
BOOL OpenPeerRecord(int slot);
void ClosePeerRecord(void);
void PeerWriteLong(DWORD offset, LONG value);
void PeerWriteText(DWORD offset, DWORD size, const std::wstring& text);  // in the ANSI code page
LONG PeerReadLong(DWORD offset);
std::string PeerReadBytes(DWORD offset, DWORD size);  // up to the first NUL

// Each test gets a scripted spooler with the KR-470 as the default printer,
// the record opened from the language monitor's side, and cleans up after
// the monitor and the simulator it started.
class MonitorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts kr470mon.exe and waits for its status window.
  void StartMonitor();
  // Starts lmsim.exe with these arguments.
  void StartSimulator(const std::wstring& arguments);
  // The status window is shown / in the notification area within the ticks.
  bool WindowComesUp();
  bool WindowGoesToTray();

  HANDLE monitor = NULL;
  DWORD monitorId = 0;
  HANDLE simulator = NULL;
  DWORD simulatorId = 0;
  HWND window = NULL;
};
