// Set-up of the status tests: locale, window, record and printer.
#include <locale.h>
#include "status_fixture.h"

DialogLog dialogLog;

// The program makes the user's locale current at start; the record's texts
// are converted under it.
class UserLocale : public ::testing::Environment {
 public:
  void SetUp() override { setlocale(LC_ALL, ""); }
};
static ::testing::Environment* const userLocale = ::testing::AddGlobalTestEnvironment(new UserLocale);

static INT_PTR CALLBACK RecordingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) statusWindow = window;
  if (message == WM_DESTROY) dialogLog.destroys++;
  if (message == WM_SIZE && wParam == SIZE_MINIMIZED) dialogLog.minimises++;
  return FALSE;
}

void StatusWindowTest::SetUp() {
  ResetSeams();
  SpoolerReset();
  dialogLog = DialogLog{};
  printerJobCount = printerStatus = firstJobStatus = 0;
  recordedModelSlot = modelSlotRecorded = 0;
  startDisplayMode = CB_DISPLAY_MODE_ERRORS;
  instanceHandle = GetModuleHandleW(NULL);
  ZeroMemory(&trayIconData, sizeof trayIconData);
  minimiseFlag = 1;

  ASSERT_EQ(STATE_READY, AllocMonitorState());
  state = monitorState;
  printer = SpoolerAddPrinter(TEST_PRINTER, DRIVER_KR470, TEST_PORT, PRINTER_ATTRIBUTE_LOCAL);
  SpoolerSetDefaultPrinter(TEST_PRINTER);
  int enumResult;
  ASSERT_TRUE(FindSupportedPrinter(&enumResult));
  ASSERT_EQ(MODEL_SLOT_KR470, ModelSlot);
  InstanceMutexName names;
  SelectNameSet(ModelSlot, &names);
  ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());

  window = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_STATUS), NULL, RecordingDialogProc, 0);
  ASSERT_TRUE(window != NULL);
  ASSERT_EQ(window, statusWindow);
}

void StatusWindowTest::TearDown() {
  if (window) {
    KillTimer(window, (UINT_PTR)state);
    DestroyWindow(window);
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
    }
  }
  statusWindow = NULL;
  CloseConnectionBlock();
  FreeMonitorState();
  EXPECT_EQ(0, SpoolerOpenHandles()) << "a printer handle was left open";
  SpoolerReset();
}

void SetSharedLong(DWORD offset, LONG value) {
  SetBlockLong(sharedView, offset, value);
}

void SetSharedBytes(DWORD offset, const char* bytes, int length) {
  CopyMemory(sharedView + offset, bytes, length);
}

void SetSharedText(DWORD offset, const char* text) {
  SetSharedBytes(offset, text, lstrlenA(text) + 1);
}

std::wstring ControlText(HWND window, int id) {
  WCHAR text[MESSAGE_TEXT_UNITS];
  text[0] = L'\0';
  GetDlgItemTextW(window, id, text, MESSAGE_TEXT_UNITS);
  return text;
}

std::wstring WindowTitle(HWND window) {
  WCHAR text[TITLE_UNITS];
  text[0] = L'\0';
  GetWindowTextW(window, text, TITLE_UNITS);
  return text;
}

int TakeSurfacingRequests(HWND window) {
  int count = 0;
  MSG message;
  while (PeekMessageW(&message, window, WM_TRAYNOTIFY, WM_TRAYNOTIFY, PM_REMOVE)) {
    EXPECT_EQ(0u, message.wParam);
    EXPECT_EQ(WM_LBUTTONDBLCLK, (UINT)message.lParam);
    count++;
  }
  return count;
}

std::wstring Head(const WCHAR* message) {
  std::wstring text = message;
  return text.substr(0, text.find(L"\r\n"));
}

HICON IconOf(WORD id) {
  return LoadIconW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(id));
}

static DWORD WINAPI HoldMutex(void* context) {
  MutexHolder* holder = (MutexHolder*)context;
  HANDLE mutex = CreateMutexW(NULL, FALSE, mappingMutexName);
  WaitForSingleObject(mutex, INFINITE);
  SetEvent(holder->held);
  WaitForSingleObject(holder->release, INFINITE);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return 0;
}

BOOL HoldMappingMutex(MutexHolder* holder) {
  holder->held = CreateEventW(NULL, TRUE, FALSE, NULL);
  holder->release = CreateEventW(NULL, TRUE, FALSE, NULL);
  holder->thread = CreateThread(NULL, 0, HoldMutex, holder, 0, NULL);
  return holder->thread && WaitForSingleObject(holder->held, 5000) == WAIT_OBJECT_0;
}

void ReleaseMappingMutex(MutexHolder* holder) {
  SetEvent(holder->release);
  WaitForSingleObject(holder->thread, 5000);
  CloseHandle(holder->thread);
  CloseHandle(holder->held);
  CloseHandle(holder->release);
}
