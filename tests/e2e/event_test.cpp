// The road of one event through the real program: the language monitor
// writes a code, the window surfaces or hides, and displayMode 1 ends it.
#include "e2e.h"
#include "connection/connection_block.h"
#include <winspool.h>
#include "spooler/scripted_spooler.h"
#include "window/resource.h"

static bool StartsWith(const std::wstring& text, const std::wstring& head) {
  return text.compare(0, head.size(), head) == 0;
}

TEST_F(MonitorTest, ErrorCodesSurfaceTheWindowWithTheirDefaultButtonAndReadyHidesIt) {
  StartMonitor();
  ASSERT_TRUE(WindowGoesToTray()) << "a monitor that starts at status 0 belongs in the notification area";

  PeerWriteText(CB_PRINTER_NAME, CB_PRINTER_NAME_SIZE, L"KR-470");
  PeerWriteText(CB_MODEL_TEXT, CB_MODEL_TEXT_SIZE, L"KR-470");
  PeerWriteText(CB_USER_NAME, CB_USER_NAME_SIZE, L"山田太郎");
  PeerWriteText(CB_DOCUMENT_NAME, CB_DOCUMENT_NAME_SIZE, L"出荷ラベル①.pdf");
  PeerWriteLong(CB_STATUS_CODE, 302);
  ASSERT_TRUE(WindowComesUp()) << "visible " << IsWindowVisible(window) << " icon " << TrayIconShown() << " "
                               << testing::PrintToString(ControlText(window, IDC_STATUS_TEXT).substr(0, 12));
  EXPECT_TRUE(StartsWith(ControlText(window, IDC_STATUS_TEXT), L"[0302 用紙なし]\r\n用紙がありません。"))
      << ControlText(window, IDC_STATUS_TEXT).substr(0, 40);
  EXPECT_EQ(L"KR-470 KR-470 Status Monitor", WindowText(window));
  EXPECT_EQ(L"山田太郎", ControlText(window, IDC_USER_NAME));
  EXPECT_EQ(L"出荷ラベル①.pdf", ControlText(window, IDC_DOCUMENT_NAME));
  EXPECT_TRUE(HasDefaultStyle(window, IDC_OK));
  EXPECT_FALSE(HasDefaultStyle(window, IDC_CANCEL_PRINT));
  EXPECT_FALSE(ControlEnabled(window, IDC_CANCEL_PRINT)) << "nothing to cancel: the queue is empty";
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(window) == GetDlgItem(window, IDC_OK); }, E2E_TICKS_MS));

  // A data error in a job while the window is up: it stays, and cancelling
  // the job becomes the default.
  ASSERT_NE(0u, SpoolerAddJob(SpoolerFindPrinter(E2E_PRINTER), L"出荷ラベル①.pdf", L"山田太郎", JOB_STATUS_PRINTING));
  PeerWriteLong(CB_STATUS_CODE, 500);
  ASSERT_TRUE(WaitUntil([&] { return StartsWith(ControlText(window, IDC_STATUS_TEXT), L"[0500 データエラー]"); },
                        E2E_TICKS_MS));
  EXPECT_TRUE(WaitUntil([&] { return HasDefaultStyle(window, IDC_CANCEL_PRINT); }, E2E_TICKS_MS));
  EXPECT_FALSE(HasDefaultStyle(window, IDC_OK));
  EXPECT_TRUE(ControlEnabled(window, IDC_CANCEL_PRINT));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(window) == GetDlgItem(window, IDC_CANCEL_PRINT); }, E2E_TICKS_MS))
      << "focus on " << GetDlgCtrlID(FocusOf(window));
  EXPECT_TRUE(IsWindowVisible(window));

  PeerWriteLong(CB_STATUS_CODE, 2);
  EXPECT_TRUE(WindowGoesToTray());
  EXPECT_TRUE(StartsWith(ControlText(window, IDC_STATUS_TEXT), L"[0002 印刷中]"))
      << testing::PrintToString(ControlText(window, IDC_STATUS_TEXT).substr(0, 12));
}

TEST_F(MonitorTest, DisplayModeOneEndsTheMonitorWithExitCodeOne) {
  StartMonitor();
  ASSERT_TRUE(WindowGoesToTray());

  PeerWriteLong(CB_DISPLAY_MODE, CB_DISPLAY_MODE_END);
  DWORD exitCode = 0;
  ASSERT_TRUE(WaitForExit(monitor, E2E_EXIT_MS, &exitCode));
  EXPECT_EQ(1u, exitCode);
  EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); }, E2E_TICKS_MS)) << "the icon outlived the monitor";
}
