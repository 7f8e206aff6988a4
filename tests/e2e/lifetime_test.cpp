// How the real program starts and ends, seen from outside: the not-found box,
// a second instance, and the icon menu's exit entry.
#include "e2e.h"
#include <winspool.h>
#include "connection/connection_block.h"
#include "spooler/scripted_spooler.h"

enum {
  BOX_MS = 8000,
  SECOND_INSTANCE_LEAST_MS = 1300,  // 50 claims 30 ms apart
  SECOND_INSTANCE_MOST_MS = 5000,
  MENU_LAST_ITEM_FROM_BOTTOM = 10,
  MARKER_CODE = 202,
  WATCH_MS = 30,
};

TEST_F(MonitorTest, WithoutASupportedPrinterOneBoxSaysSoAndTheExitCodeIsZero) {
  SpoolerReset();
  ASSERT_GE(SpoolerAddPrinter(L"Office", L"Generic / Text Only", L"LPT1:", PRINTER_ATTRIBUTE_LOCAL), 0);
  ASSERT_TRUE(SpoolerSetDefaultPrinter(L"Office"));
  monitor = StartProgram(L"kr470mon.exe", L"", &monitorId);
  ASSERT_TRUE(monitor != NULL);

  HWND box = NULL;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(monitorId)) != NULL && IsWindowVisible(box); }, BOX_MS));
  EXPECT_EQ(L"KR-470 Status Monitor", WindowText(box));
  EXPECT_EQ(L"プリンタ（ドライバ）が見つかりません。\n\nプログラムを終了します。", ControlText(box, MESSAGE_BOX_TEXT_ID));
  EXPECT_EQ(NULL, FindStatusWindow(monitorId));

  PostMessageW(box, WM_COMMAND, IDOK, 0);
  DWORD exitCode = 1;
  ASSERT_TRUE(WaitForExit(monitor, E2E_EXIT_MS, &exitCode));
  EXPECT_EQ(0u, exitCode);
}

TEST_F(MonitorTest, ASecondInstanceLeavesQuietlyAfterItsClaimsWhileTheFirstRuns) {
  StartMonitor();
  ASSERT_TRUE(WindowGoesToTray());
  // A second instance that got past the claim would initialise the record again.
  PeerWriteLong(CB_STATUS_CODE, MARKER_CODE);

  DWORD secondId = 0;
  ULONGLONG start = GetTickCount64();
  HANDLE second = StartProgram(L"kr470mon.exe", L"", &secondId);
  ASSERT_TRUE(second != NULL);
  bool showedSomething = false;
  DWORD exitCode = 1;
  while (!WaitForExit(second, WATCH_MS, &exitCode) && GetTickCount64() - start < SECOND_INSTANCE_MOST_MS)
    showedSomething = showedSomething || CountWindows(secondId) > 0;
  ULONGLONG lasted = GetTickCount64() - start;
  StopProcess(&second);

  EXPECT_EQ(0u, exitCode);
  EXPECT_GE(lasted, (ULONGLONG)SECOND_INSTANCE_LEAST_MS);
  EXPECT_LT(lasted, (ULONGLONG)SECOND_INSTANCE_MOST_MS);
  EXPECT_FALSE(showedSomething);
  EXPECT_EQ(MARKER_CODE, PeerReadLong(CB_STATUS_CODE));
  EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(monitor, 0)) << "the first instance ended";
}

TEST_F(MonitorTest, TheIconMenusExitEntryEndsTheMonitorWithExitCodeOne) {
  if (!ClickAvailable()) GTEST_SKIP() << "xdotool is needed to open the icon's menu";
  StartMonitor();
  ASSERT_TRUE(WindowGoesToTray());

  ASSERT_TRUE(ClickTrayIcon(RIGHT_BUTTON, 1));
  HWND menu = NULL;
  ASSERT_TRUE(WaitUntil([&] { return (menu = FindPopupMenu()) != NULL; }, E2E_TICKS_MS)) << "no menu";
  RECT area;
  ASSERT_TRUE(GetWindowRect(menu, &area));
  // The exit entry is the menu's last.
  ASSERT_TRUE(ClickAt((area.left + area.right) / 2, area.bottom - MENU_LAST_ITEM_FROM_BOTTOM, LEFT_BUTTON, 1));

  DWORD exitCode = 0;
  ASSERT_TRUE(WaitForExit(monitor, E2E_EXIT_MS, &exitCode));
  EXPECT_EQ(1u, exitCode);
  EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); }, E2E_TICKS_MS)) << "the icon outlived the monitor";
}
