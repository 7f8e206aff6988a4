// The notification-area icon: the double-click with and without a status
// inquiry, the guard against a second inquiry, and the icon menu.
#include "window_fixture.h"
#include "app/app.h"
#include "connection/connection.h"
#include "printers/printers.h"
#include "requests/requests.h"
#include "spooler/scripted_spooler.h"
#include "status/status.h"
#include "support.h"
#include "window/window.h"

#include <string>
#include <vector>

enum { BIDI_ON = PRINTER_ATTRIBUTE_ENABLE_BIDI };

static void SendDoubleClick(HWND window) {
  SendMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
}

// A default printer that passes every check of the inquiry.
static int AddDefaultPrinter(void) {
  int printer = SpoolerAddPrinter(L"KR Line", DRIVER_DUMMY, L"USB001", BIDI_ON);
  SpoolerSetDefaultPrinter(L"KR Line");
  return printer;
}

struct TrayTest : StatusWindowTest {
  void SetUp() override {
    StatusWindowTest::SetUp();
    CreateStatusWindow();
    EnableWindow(GetDlgItem(window, IDC_OK), TRUE);
    EnableWindow(GetDlgItem(window, IDC_CANCEL_PRINT), TRUE);
    SpoolerClearLog();
  }
  void ExpectInTray() {
    EXPECT_EQ(1, monitorState->trayMode);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IconKnownToShell());
  }
  void ExpectShown() {
    EXPECT_EQ(0, monitorState->trayMode);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_FALSE(IconKnownToShell());
  }
};

// With a new code the window comes up at once: no inquiry, and the default
// button follows the current code, or the previous one when the window was
// already shown.
TEST_F(TrayTest, DoubleClickAfterAChangeShowsTheWindowWithoutAnInquiry) {
  enum { OK = IDC_OK, CANCEL = IDC_CANCEL_PRINT, TRAY = 0 };
  struct Case {
    SHORT statusCode, previousCode;
    int before;  // TRAY, or the default button of the shown window
    int expected;
  } cases[] = {
      {302, 0, TRAY, OK},      {700, 0, TRAY, CANCEL},  {302, 500, TRAY, OK},
      {500, 0, OK, CANCEL},    {302, 500, CANCEL, OK},  {1500, 700, OK, CANCEL},
      {302, 0, CANCEL, CANCEL},  // neither code asks for a choice: left as it was
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.statusCode << " after " << c.previousCode << " from " << c.before);
    if (c.before == TRAY) {
      HideIntoTray();
      ASSERT_EQ(1, monitorState->trayMode);
    } else {
      ShowNormally();
      if (c.before == OK) DefaultToOk(window);
      else DefaultToCancelPrint(window);
    }
    SetCodes(c.statusCode, c.previousCode);

    SendDoubleClick(window);
    PumpFor(window, 30);

    ExpectShown();
    EXPECT_EQ(c.expected, DefaultButtonId(window));
    EXPECT_EQ(GetDlgItem(window, c.expected), GetFocus());
  }
  EXPECT_EQ(0, SpoolerCallCount(SPOOL_ENUM_PRINTERS));
  EXPECT_TRUE(shownAlerts.empty());
}

TEST_F(TrayTest, UnchangedCodeAsksForAFreshStatusAndShowsTheWindowWhenNoBoxWasShown) {
  AddDefaultPrinter();
  printerStatus = PRINTER_STATUS_OFFLINE;  // the inquiry then sends nothing and shows nothing
  HideIntoTray();
  SetCodes(0, 0);

  SendDoubleClick(window);
  PumpFor(window, 30);

  EXPECT_EQ(1, SpoolerCallCount(SPOOL_OPEN_PRINTER));
  EXPECT_TRUE(shownAlerts.empty());
  EXPECT_EQ(0, inquiryRunning);
  ExpectShown();
  EXPECT_EQ(IDC_OK, DefaultButtonId(window));
}

TEST_F(TrayTest, UnchangedCodeLeavesTheWindowInTheTrayWhenTheInquiryExplainedAProblem) {
  SpoolerAddPrinter(L"KR Line", DRIVER_DUMMY, L"USB001", BIDI_ON);  // not the default printer
  HideIntoTray();
  SetCodes(0, 0);

  SendDoubleClick(window);
  PumpFor(window, 30);

  ASSERT_EQ(1u, shownAlerts.size());
  EXPECT_EQ(L"NRV KR-470プリンタを接続し\n通常使うプリンタに設定してください。", shownAlerts[0].text);
  EXPECT_EQ(0, inquiryRunning);
  ExpectInTray();
}

// Another thread can take a mutex only when its owner has released it.
static DWORD WINAPI TakeMutex(void* mutex) {
  DWORD wait = WaitForSingleObject((HANDLE)mutex, 0);
  if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) ReleaseMutex((HANDLE)mutex);
  return wait;
}

// The inquiry's fatal box has been shown: the icon goes, the single-instance
// claim is given up, and the process ends with exit code 0.
TEST_F(TrayTest, FatalInquiryRemovesTheIconReleasesTheClaimAndEndsTheProcess) {
  const WCHAR* name = L"Local\\KR470WindowTestInstance";
  instanceMutex = CreateMutexW(NULL, TRUE, name);
  ASSERT_TRUE(instanceMutex != NULL);
  HANDLE sameMutex = CreateMutexW(NULL, FALSE, name);  // keeps the mutex alive after the claim is closed
  HideIntoTray();
  ASSERT_TRUE(IconKnownToShell());
  SetCodes(0, 0);  // no printer at all: the inquiry ends the monitor

  try {
    StatusDialogProc(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
    ADD_FAILURE() << "the process did not end";
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ((UINT)EXIT_QUIET, ended.exitCode);
  }

  ASSERT_EQ(1u, shownAlerts.size());
  EXPECT_EQ(0, monitorState->trayMode);
  EXPECT_FALSE(IconKnownToShell());
  EXPECT_EQ(NULL, instanceMutex);
  HANDLE other = CreateThread(NULL, 0, TakeMutex, sameMutex, 0, NULL);
  WaitForSingleObject(other, INFINITE);
  DWORD wait;
  GetExitCodeThread(other, &wait);
  CloseHandle(other);
  CloseHandle(sameMutex);
  EXPECT_EQ(WAIT_OBJECT_0, wait);
}

TEST_F(TrayTest, DoubleClicksDuringAnInquiryAreIgnored) {
  HideIntoTray();
  SetCodes(302, 0);  // would show the window at once
  inquiryRunning = 1;
  SendDoubleClick(window);
  PumpFor(window, 30);
  ExpectInTray();
  EXPECT_EQ(0, SpoolerCallCount(SPOOL_ENUM_PRINTERS));
  inquiryRunning = 0;

  // One arriving while the inquiry pumps messages (its queue holds a job, so
  // it waits and pumps) starts no second inquiry.
  int printer = AddDefaultPrinter();
  SpoolerAddJob(printer, L"label", L"operator", JOB_STATUS_PRINTING);
  dummyDocumentName = L"QAxxLMWindow-Dummy";  // as a refresh that identified the printer leaves it
  SetCodes(0, 0);
  PostMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
  SendDoubleClick(window);
  PumpFor(window, 30);

  EXPECT_EQ(1, SpoolerCallCount(SPOOL_OPEN_PRINTER));  // the inquiry opens its printer once
  EXPECT_EQ(0, inquiryRunning);
  ExpectShown();
}

// Watches the thread's menus: records the icon menu's entries when it opens
// and answers it with one keyboard message, as an operator would.
struct MenuWatch {
  HHOOK hook;
  UINT answerMessage;
  WPARAM answerKey;
  std::vector<std::wstring> entries;
};
static MenuWatch watch;

static LRESULT CALLBACK WatchMenu(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* sent = (const CWPSTRUCT*)lParam;
  if (code == HC_ACTION && sent->message == WM_INITMENUPOPUP) {
    HMENU menu = (HMENU)sent->wParam;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
      WCHAR text[64] = L"";
      MENUITEMINFOW item = {};
      item.cbSize = sizeof item;
      item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
      item.dwTypeData = text;
      item.cch = 64;
      GetMenuItemInfoW(menu, i, TRUE, &item);
      if (item.fType & MFT_SEPARATOR) watch.entries.push_back(L"-");
      else watch.entries.push_back(std::to_wstring(item.wID) + ((item.fState & MFS_DISABLED) ? L" off " : L" ") + text);
    }
    PostMessageW(sent->hwnd, watch.answerMessage, watch.answerKey, 1);
  }
  return CallNextHookEx(NULL, code, wParam, lParam);
}

static void RightClickAndAnswer(HWND window, UINT message, WPARAM key) {
  watch.entries.clear();
  watch.answerMessage = message;
  watch.answerKey = key;
  watch.hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchMenu, NULL, GetCurrentThreadId());
  SendMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONDOWN);
  UnhookWindowsHookEx(watch.hook);
}

TEST_F(TrayTest, IconMenuOffersItsEntriesAndItsExitEndsTheMonitor) {
  HideIntoTray();
  RightClickAndAnswer(window, WM_CHAR, 'x');

  EXPECT_EQ((std::vector<std::wstring>{L"200 元のサイズに戻す(&R)", L"-", L"400 印刷中止(&C)", L"-",
                                       L"300 ステータス表示の終了(&X)"}),
            watch.entries);
  EXPECT_EQ(EXIT_THROUGH_WINDOW, QuitValue());
  EXPECT_EQ(0, monitorState->trayMode);
  EXPECT_FALSE(IconKnownToShell());
}

TEST_F(TrayTest, DismissedIconMenuChangesNothing) {
  HideIntoTray();
  RightClickAndAnswer(window, WM_KEYDOWN, VK_ESCAPE);
  ASSERT_EQ(5u, watch.entries.size());
  PumpFor(window, 30);
  ExpectInTray();
  EXPECT_EQ(0, QuitValue());
  EXPECT_TRUE(shownAlerts.empty());
}

// A tick may bring the window up while the menu is open: the choice is then dropped.
TEST_F(TrayTest, MenuChoicesMadeWhileTheWindowIsShownDoNothing) {
  ShowNormally();
  SetCodes(0, 0);  // a restore would run an inquiry, which would end the monitor
  for (UINT choice : {IDM_RESTORE, IDM_CANCEL_PRINT, IDM_EXIT}) {
    SCOPED_TRACE(choice);
    ActOnIconMenuChoice(window, choice);
    PumpFor(window, 30);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(0, monitorState->trayMode);
    EXPECT_EQ(0, QuitValue());
  }
  EXPECT_EQ(0, BlockLong(sharedView, CB_CANCEL_REQUEST));
  EXPECT_EQ(0, SpoolerCallCount(SPOOL_ENUM_PRINTERS));
  EXPECT_TRUE(shownAlerts.empty());
}

TEST_F(TrayTest, MenuRestoreIsADoubleClick) {
  SpoolerAddPrinter(L"KR Line", DRIVER_DUMMY, L"USB001", BIDI_ON);  // not the default printer
  HideIntoTray();
  SetCodes(0, 0);
  ActOnIconMenuChoice(window, IDM_RESTORE);
  EXPECT_EQ(1u, shownAlerts.size());  // the inquiry ran and explained
  ExpectInTray();

  SetCodes(302, 0);
  ActOnIconMenuChoice(window, IDM_RESTORE);
  PumpFor(window, 30);
  EXPECT_EQ(1u, shownAlerts.size());
  ExpectShown();
}

// The cancel request ends by minimising into the notification area, where the
// window already is: it must stay hidden, not turn up on the taskbar.
TEST_F(TrayTest, MenuCancelPrintingRaisesTheRequestAndLeavesTheWindowInTheTray) {
  HideIntoTray();
  ActOnIconMenuChoice(window, IDM_CANCEL_PRINT);
  PumpFor(window, 30);
  EXPECT_EQ(1, BlockLong(sharedView, CB_CANCEL_REQUEST));
  ExpectInTray();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(1, minimiseFlag);

  // So the operator's own minimise, later, still leaves the window on the taskbar.
  SetCodes(302, 0);
  SendDoubleClick(window);
  SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  PumpFor(window, 30);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(0, monitorState->trayMode);
}
