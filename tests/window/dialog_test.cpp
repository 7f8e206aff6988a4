// The status window's own handling: initialisation, closing, minimising,
// restoring with the default-button rules, and the end.
#include "window_fixture.h"
#include "app/app.h"
#include "connection/connection.h"
#include "status/status.h"
#include "support.h"
#include "window/window.h"

#include <locale.h>
#include <algorithm>
#include <string>
#include <vector>

enum { WINE_ABOUT_COMMAND = SC_SCREENSAVE + 1 };

TEST_F(StatusWindowTest, InitialisationPreparesTitleIconMenuTrayRecordAndTick) {
  CopyMemory(sharedView + CB_PRINTER_NAME, "KR-470 Line 1", sizeof "KR-470 Line 1");
  window = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_STATUS), NULL, StatusDialogProc, 0);
  ASSERT_TRUE(window != NULL);
  EXPECT_EQ(window, statusWindow);
  EXPECT_EQ((UINT_PTR)monitorState, monitorState->timerId);
  StopTicks();
  EXPECT_FALSE(IsWindowVisible(window));

  WCHAR title[256];
  GetWindowTextW(window, title, 256);
  EXPECT_STREQ(L"StatusMonitor : KR-470 Line 1", title);

  HICON ready = LoadIconW(instanceHandle, MAKEINTRESOURCEW(IDI_READY));
  ASSERT_TRUE(ready != NULL);
  EXPECT_EQ((ULONG_PTR)ready, GetClassLongPtrW(window, GCLP_HICON));

  HMENU menu = GetSystemMenu(window, FALSE);
  std::vector<UINT> entries;
  for (int i = 0; i < GetMenuItemCount(menu); i++) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID;
    GetMenuItemInfoW(menu, i, TRUE, &item);
    entries.push_back((item.fType & MFT_SEPARATOR) ? 0 : item.wID);
  }
  // Wine appends an "About Wine" entry of its own to every system menu.
  if (!entries.empty() && entries.back() == WINE_ABOUT_COMMAND) entries.pop_back();
  EXPECT_EQ((std::vector<UINT>{SC_MOVE, SC_MINIMIZE, 0, SC_CLOSE}), entries);

  EXPECT_EQ(sizeof(NOTIFYICONDATAW), trayIconData.cbSize);
  EXPECT_EQ(window, trayIconData.hWnd);
  EXPECT_EQ(1u, trayIconData.uID);
  EXPECT_EQ(7u, trayIconData.uFlags);
  EXPECT_EQ(0x8064u, trayIconData.uCallbackMessage);
  EXPECT_EQ(ready, trayIconData.hIcon);
  // The tip and everything after it stay empty: no balloon, no version.
  const BYTE* rest = (const BYTE*)&trayIconData.szTip;
  const BYTE* end = (const BYTE*)&trayIconData + sizeof trayIconData;
  EXPECT_EQ(end - rest, std::count(rest, end, 0));
}

// The ways an operator closes the window; each must hide it into the notification area.
struct CloseWay {
  const char* name;
  void (*act)(HWND window);
};

static void ClickOk(HWND window) {
  SendDlgItemMessageW(window, IDC_OK, BM_CLICK, 0, 0);
}
static void PressEsc(HWND window) {
  PostMessageW(GetFocus() ? GetFocus() : window, WM_KEYDOWN, VK_ESCAPE, 1);
}
static void PressAltF4(HWND window) {
  // KF_ALTDOWN in the high word of lParam: the context code of a key pressed with Alt.
  PostMessageW(window, WM_SYSKEYDOWN, VK_F4, MAKELPARAM(1, KF_ALTDOWN));
}
static void SendClose(HWND window) {
  SendMessageW(window, WM_CLOSE, 0, 0);
}
static void ChooseSystemMenuClose(HWND window) {
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST_F(StatusWindowTest, EveryWayOfClosingHidesIntoTheNotificationArea) {
  const CloseWay ways[] = {
      {"OK", ClickOk},
      {"Esc", PressEsc},
      {"Alt+F4", PressAltF4},
      {"WM_CLOSE", SendClose},
      {"system menu Close", ChooseSystemMenuClose},
  };
  WriteSharedStatus(302);
  CreateStatusWindow();
  for (const CloseWay& way : ways) {
    SCOPED_TRACE(way.name);
    ShowNormally();
    ASSERT_TRUE(IsWindowVisible(window));
    ASSERT_EQ(0, monitorState->trayMode);
    SetFocus(GetDlgItem(window, IDC_OK));

    way.act(window);
    PumpFor(window, 100);

    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsIconic(window));
    EXPECT_EQ(1, monitorState->trayMode);
    EXPECT_TRUE(IconKnownToShell());
    EXPECT_EQ(1, minimiseFlag);
    EXPECT_EQ(0, QuitValue());
  }
}

TEST_F(StatusWindowTest, CaptionMinimiseLeavesTheWindowOnTheTaskbarWithoutAnIcon) {
  WriteSharedStatus(302);
  CreateStatusWindow();
  ShowNormally();

  SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  PumpFor(window, 50);

  EXPECT_TRUE(IsIconic(window));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(0, monitorState->trayMode);
  EXPECT_FALSE(IconKnownToShell());
  EXPECT_EQ(0, QuitValue());
}

// Restoring a window minimised on the taskbar picks the default button from
// the current code alone.
TEST_F(StatusWindowTest, RestoringFromTheTaskbarChoosesTheDefaultButtonByCode) {
  struct Case {
    SHORT statusCode;
    SHORT previousCode;
    int expected;
  } cases[] = {
      {0, 0, IDC_OK},          {302, 500, IDC_OK},          {499, 499, IDC_OK},
      {500, 0, IDC_CANCEL_PRINT}, {700, 700, IDC_CANCEL_PRINT}, {1500, 302, IDC_CANCEL_PRINT},
  };
  CreateStatusWindow();
  ShowNormally();
  // Which buttons are enabled is the catalogue's business; here both are.
  EnableWindow(GetDlgItem(window, IDC_OK), TRUE);
  EnableWindow(GetDlgItem(window, IDC_CANCEL_PRINT), TRUE);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statusCode);
    // Start from the other choice so that the restore has to change it.
    if (c.expected == IDC_OK) DefaultToCancelPrint(window);
    else DefaultToOk(window);
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(window));
    SetCodes(c.statusCode, c.previousCode);

    SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    PumpFor(window, 30);

    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(c.expected, DefaultButtonId(window));
    EXPECT_EQ(GetDlgItem(window, c.expected), GetFocus());
    EXPECT_EQ(0, monitorState->trayMode);
  }
}

// With no job the cancel button is disabled: OK keeps the default and the
// focus even for the codes that ask for the cancel button.
TEST_F(StatusWindowTest, DisabledCancelButtonNeverBecomesTheDefault) {
  CreateStatusWindow();
  ShowNormally();
  EnableWindow(GetDlgItem(window, IDC_OK), TRUE);
  EnableWindow(GetDlgItem(window, IDC_CANCEL_PRINT), FALSE);
  SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(IsIconic(window));
  SetCodes(500, 0);

  SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  PumpFor(window, 30);

  EXPECT_EQ(IDC_OK, DefaultButtonId(window));
  EXPECT_EQ(GetDlgItem(window, IDC_OK), GetFocus());
}

TEST_F(StatusWindowTest, SystemMenuMinimiseAndMoveStayOrdinary) {
  CreateStatusWindow();
  ShowNormally();
  SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  PumpFor(window, 30);
  EXPECT_TRUE(IsIconic(window));
  EXPECT_EQ(0, monitorState->trayMode);
  // A later minimise of the monitor's own still goes to the notification area.
  SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  MinimiseToTray(window);
  PumpFor(window, 30);
  EXPECT_EQ(1, monitorState->trayMode);
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(StatusWindowTest, FirstRefreshThatSaysEndHidesTheWindowOnceTheLoopRuns) {
  SetBlockLong(sharedView, CB_DISPLAY_MODE, CB_DISPLAY_MODE_END);
  WriteSharedStatus(302);
  CreateStatusWindow();
  ShowWindow(window, SW_SHOWNORMAL);
  SetWindowLongPtrW(window, DWLP_USER, 0);
  EXPECT_TRUE(IsWindowVisible(window));
  PumpFor(window, 50);
  EXPECT_EQ(1, monitorState->trayMode);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(0, QuitValue());
}

TEST_F(StatusWindowTest, DestroyHandlingRemovesTheIconStopsTheTickAndRunsTwiceSafely) {
  window = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_STATUS), NULL, StatusDialogProc, 0);
  ASSERT_TRUE(window != NULL);
  HideIntoTray();
  ASSERT_TRUE(IconKnownToShell());
  ASSERT_NE(0u, monitorState->timerId);

  SendMessageW(window, WM_DESTROY, 0, 0);

  EXPECT_EQ(0, monitorState->trayMode);
  EXPECT_FALSE(IconKnownToShell());
  EXPECT_EQ(0u, monitorState->timerId);
  EXPECT_EQ(EXIT_THROUGH_WINDOW, QuitValue());
  // No tick comes any more: a refresh would have rewritten the title.
  SetWindowTextW(window, L"unchanged");
  PumpFor(window, 700);
  WCHAR title[32];
  GetWindowTextW(window, title, 32);
  EXPECT_STREQ(L"unchanged", title);

  // The main loop then destroys the window, which runs the handling again.
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_EQ(0, monitorState->trayMode);
  EXPECT_FALSE(IconKnownToShell());
}

TEST_F(StatusWindowTest, CancelPrintingButtonRaisesTheRequestAndHidesTheWindow) {
  WriteSharedStatus(500);
  CreateStatusWindow();
  ShowNormally();
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_CANCEL_PRINT, BN_CLICKED), 0);
  PumpFor(window, 30);
  EXPECT_EQ(1, BlockLong(sharedView, CB_CANCEL_REQUEST));
  EXPECT_EQ(1, monitorState->trayMode);
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(StatusWindowTest, OtherCommandsAndNotificationsAreIgnored) {
  CreateStatusWindow();
  ShowNormally();
  SendMessageW(window, WM_COMMAND, IDOK, 0);
  SendMessageW(window, WM_TRAYNOTIFY, 1, WM_LBUTTONDOWN);
  SendMessageW(window, WM_TRAYNOTIFY, 1, WM_LBUTTONUP);
  SendMessageW(window, WM_TRAYNOTIFY, 1, WM_MOUSEMOVE);
  PumpFor(window, 30);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(0, monitorState->trayMode);
  EXPECT_TRUE(shownAlerts.empty());
}

// Not part of the suite: tools/window_screenshot.sh runs it and photographs the
// screen while the window shows the paper-out message.
TEST_F(StatusWindowTest, DISABLED_HoldsThePaperOutWindowForAScreenshot) {
  setlocale(LC_ALL, "");  // as start-up does: the record's texts are in the user's code page
  CopyMemory(sharedView + CB_PRINTER_NAME, "KR-470", sizeof "KR-470");
  CopyMemory(sharedView + CB_MODEL_TEXT, "KR-470", sizeof "KR-470");
  CopyMemory(sharedView + CB_USER_NAME, "\x8e\x52\x93\x63", 5);                    // 山田 in code page 932
  CopyMemory(sharedView + CB_DOCUMENT_NAME, "\x8f\x6f\x89\xd7\x83\x89\x83\x78\x83\x8b", 11);  // 出荷ラベル
  WriteSharedStatus(302);
  window = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_STATUS), NULL, StatusDialogProc, 0);
  ASSERT_TRUE(window != NULL);
  ShowNormally();
  PumpFor(window, 8000);
}
