// The status window fixture and the probes its tests share.
#include "window_fixture.h"
#include "app/app.h"
#include "connection/connection.h"
#include "printers/printers.h"
#include "requests/requests.h"
#include "spooler/scripted_spooler.h"
#include "status/status.h"
#include "support.h"
#include "window/window.h"

void StatusWindowTest::SetUp() {
  ResetSeams();
  SpoolerReset();
  SpoolerSetDefaultPrinter(NULL);
  instanceHandle = GetModuleHandleW(NULL);
  minimiseFlag = 1;
  inquiryRunning = 0;
  printerStatus = 0;
  modelSlotRecorded = 0;
  ASSERT_EQ(STATE_READY, AllocMonitorState());
  ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());
}

void StatusWindowTest::TearDown() {
  if (window && IsWindow(window)) DestroyWindow(window);
  PumpFor(NULL, 50);
  FreeMonitorState();
  CloseConnectionBlock();
  ReleaseInstanceMutex();
  statusWindow = NULL;
  ZeroMemory(&trayIconData, sizeof trayIconData);
  minimiseFlag = 1;
  inquiryRunning = 0;
  dummyDocumentName = NULL;
  SpoolerReset();
  SpoolerSetDefaultPrinter(NULL);
}

void StatusWindowTest::WriteSharedStatus(LONG code) {
  SetBlockLong(sharedView, CB_STATUS_CODE, code);
}

void StatusWindowTest::CreateStatusWindow() {
  window = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_STATUS), NULL, StatusDialogProc, 0);
  ASSERT_TRUE(window != NULL);
  StopTicks();
}

void StatusWindowTest::StopTicks() {
  if (monitorState->timerId && KillTimer(window, monitorState->timerId)) monitorState->timerId = 0;
}

void StatusWindowTest::HideIntoTray() {
  minimiseFlag = 0;
  CloseWindow(window);
  UpdateWindow(window);
  SetWindowLongPtrW(window, DWLP_USER, 0);
  // The loop runs before the operator can act again: let the platform settle.
  PumpFor(window, 30);
}

void StatusWindowTest::ShowNormally() {
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  UpdateWindow(window);
  SetWindowLongPtrW(window, DWLP_USER, 0);
  // The loop runs before the operator can act again: let the platform settle.
  PumpFor(window, 30);
}

void StatusWindowTest::SetCodes(SHORT statusCode, SHORT previousCode) {
  monitorState->statusCode = statusCode;
  monitorState->previousCode = previousCode;
}

LONG_PTR StatusWindowTest::QuitValue() {
  return GetWindowLongPtrW(window, DWLP_USER);
}

void PumpFor(HWND window, DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
      if (window && IsWindow(window) && IsDialogMessageW(window, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

BOOL IconKnownToShell(void) {
  // Modifying an icon the shell does not have fails.
  NOTIFYICONDATAW probe = trayIconData;
  probe.uFlags = 0;
  return Shell_NotifyIconW(NIM_MODIFY, &probe);
}

int DefaultButtonId(HWND window) {
  BOOL ok = (GetWindowLongW(GetDlgItem(window, IDC_OK), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  BOOL cancel = (GetWindowLongW(GetDlgItem(window, IDC_CANCEL_PRINT), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  if (ok && cancel) return -1;
  return ok ? IDC_OK : cancel ? IDC_CANCEL_PRINT : 0;
}
