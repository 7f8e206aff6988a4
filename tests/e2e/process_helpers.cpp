// Starting, waiting for and stopping the programs under test, and the fixture.
#include "e2e.h"
#include <winspool.h>
#include "connection/connection_block.h"
#include "spooler/scripted_spooler.h"

enum { POLL_MS = 50 };

// bin\ relative to this test program (E2E_BIN_FROM_TEST, from the build).
static std::wstring BinDirectory(void) {
  WCHAR path[MAX_PATH];
  GetModuleFileNameW(NULL, path, MAX_PATH);
  std::wstring directory(path);
  directory.erase(directory.find_last_of(L'\\') + 1);
  for (const char* c = E2E_BIN_FROM_TEST; *c; c++) directory += (*c == '/') ? L'\\' : (WCHAR)*c;
  return directory;
}

HANDLE StartProgram(const WCHAR* program, const std::wstring& arguments, DWORD* processId) {
  std::wstring directory = BinDirectory();
  std::wstring path = directory + L"\\" + program;
  std::wstring commandLine = L"\"" + path + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(path.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, directory.c_str(), &startup,
                      &started))
    return NULL;
  CloseHandle(started.hThread);
  if (processId) *processId = started.dwProcessId;
  return started.hProcess;
}

BOOL WaitForExit(HANDLE process, DWORD milliseconds, DWORD* exitCode) {
  if (WaitForSingleObject(process, milliseconds) != WAIT_OBJECT_0) return FALSE;
  return GetExitCodeProcess(process, exitCode);
}

void StopProcess(HANDLE* process) {
  if (!*process) return;
  if (WaitForSingleObject(*process, 0) == WAIT_TIMEOUT) {
    TerminateProcess(*process, ERROR_PROCESS_ABORTED);
    WaitForSingleObject(*process, E2E_EXIT_MS);
  }
  CloseHandle(*process);
  *process = NULL;
}

BOOL WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
  ULONGLONG start = GetTickCount64();
  for (;;) {
    if (condition()) return TRUE;
    if (GetTickCount64() - start >= milliseconds) return FALSE;
    Sleep(POLL_MS);
  }
}

// Xvfb has no window manager, and Wine, when it leaves the monitor's windows
// to one, waits for it in vain (2 s on every hide) and cannot give them the
// focus. The monitor's windows are then Wine's own to manage, as on a virtual
// desktop. Only Wine reads this key; it takes effect at the monitor's start.
static void LetWineManageTheMonitorsWindows(void) {
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\kr470mon.exe\\X11 Driver", L"Managed", REG_SZ,
                  L"N", sizeof L"N");
}

void MonitorTest::SetUp() {
  LetWineManageTheMonitorsWindows();
  ASSERT_EQ((UINT)E2E_ANSI_CODE_PAGE, GetACP()) << "the tests expect the Japanese prefix of with-test-env.sh";
  SpoolerReset();
  int printer = SpoolerAddPrinter(E2E_PRINTER, E2E_DRIVER, E2E_PORT,
                                  PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_ENABLE_BIDI);
  ASSERT_GE(printer, 0);
  ASSERT_TRUE(SpoolerSetDefaultPrinter(E2E_PRINTER));
  ASSERT_TRUE(OpenPeerRecord(E2E_SLOT_KR470));
}

void MonitorTest::TearDown() {
  StopProcess(&monitor);
  StopProcess(&simulator);
  ClosePeerRecord();
  // Nothing of one test may still be on screen for the next.
  WaitUntil([] { return !TrayIconShown() && !FindPopupMenu(); }, E2E_TICKS_MS);
}

void MonitorTest::StartMonitor() {
  monitor = StartProgram(L"kr470mon.exe", L"", &monitorId);
  ASSERT_TRUE(monitor != NULL) << "cannot start kr470mon.exe: error " << GetLastError();
  ASSERT_TRUE(WaitUntil([&] { return (window = FindStatusWindow(monitorId)) != NULL; }, E2E_START_MS))
      << "no status window";
}

void MonitorTest::StartSimulator(const std::wstring& arguments) {
  simulator = StartProgram(L"lmsim.exe", arguments, &simulatorId);
  ASSERT_TRUE(simulator != NULL) << "cannot start lmsim.exe: error " << GetLastError();
}

bool MonitorTest::WindowComesUp() {
  return WaitUntil([&] { return IsWindowVisible(window) && !TrayIconShown(); }, E2E_TICKS_MS);
}

bool MonitorTest::WindowGoesToTray() {
  return WaitUntil([&] { return !IsWindowVisible(window) && TrayIconShown(); }, E2E_TICKS_MS);
}
