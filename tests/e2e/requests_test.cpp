// The operator's requests through the real program, with lmsim as the
// language monitor: the status inquiry from the icon, and cancelling a job.
#include "e2e.h"
#include <winspool.h>
#include "connection/connection_block.h"
#include "spooler/scripted_spooler.h"
#include "window/resource.h"

enum {
  ANSWER_DELAY_MS = 4000,  // longer than the inquiry's own 2 s of pumping, so the shown window waits too
  INQUIRY_MS = 8000,       // click, job, pumping and the delayed answer
  SIMULATOR_MS = 30000,
  WAITING_CODE = 100,      // what the monitor writes while it waits for the answer
};

static bool MessageIs(HWND window, const std::wstring& head) {
  return ControlText(window, IDC_STATUS_TEXT).compare(0, head.size(), head) == 0;
}

static int QueueLength(void) {
  return SpoolerJobCount(SpoolerFindPrinter(E2E_PRINTER));
}

TEST_F(MonitorTest, DoubleClickOnTheIconSendsOneInquiryJobAndShowsWaitingUntilTheAnswer) {
  if (!ClickAvailable()) GTEST_SKIP() << "xdotool is needed to double-click the icon";
  StartSimulator(L"--printer KR-470 --model KR-470 --wait-monitor --status 0 --answer-delay " +
                 std::to_wstring(ANSWER_DELAY_MS) + L" --serve " + std::to_wstring(SIMULATOR_MS));
  StartMonitor();
  ASSERT_TRUE(WindowGoesToTray());
  ASSERT_TRUE(WaitUntil([] { return PeerReadBytes(CB_PRINTER_NAME, CB_PRINTER_NAME_SIZE) == "KR-470"; }, E2E_START_MS))
      << "lmsim did not take up its duties";
  SpoolerClearLog();

  ASSERT_TRUE(ClickTrayIcon(LEFT_BUTTON, 2));
  SpoolJob job = {};
  ASSERT_TRUE(WaitUntil([&] { return SpoolerGetJob(SpoolerFindPrinter(E2E_PRINTER), 0, &job) && job.complete; },
                        INQUIRY_MS))
      << "no inquiry job";
  EXPECT_EQ(1, QueueLength());
  EXPECT_STREQ(E2E_DUMMY_DOCUMENT, job.document);
  EXPECT_STREQ(L"RAW", job.datatype);
  EXPECT_EQ((DWORD)CB_INQUIRY_JOB_BYTES, job.bytes);
  EXPECT_EQ(std::string(CB_INQUIRY_JOB_BYTES, '\0'), std::string((const char*)job.data, CB_INQUIRY_JOB_BYTES));
  EXPECT_EQ(WAITING_CODE, PeerReadLong(CB_STATUS_CODE));

  ASSERT_TRUE(WindowComesUp());
  EXPECT_TRUE(MessageIs(window, L"[情報取得中]"));
  ASSERT_TRUE(WaitUntil([&] { return MessageIs(window, L"[0000 印刷可能]"); }, INQUIRY_MS)) << "no answer shown";
  EXPECT_EQ(0, QueueLength()) << "the answered job stays queued";
  EXPECT_TRUE(IsWindowVisible(window)) << "a ready printer after an inquiry leaves the window up";
  EXPECT_EQ(1, SpoolerCallCount(SPOOL_START_DOC));
}

TEST_F(MonitorTest, CancelPrintingRaisesTheFlagAndHidesTheWindowOnceTheJobIsGone) {
  if (!ClickAvailable()) GTEST_SKIP() << "xdotool is needed to press the button";
  StartSimulator(L"--printer KR-470 --model KR-470 --user 山田太郎 --document 出荷ラベル.pdf --job --wait-monitor "
                 L"--status 302 --serve " + std::to_wstring(SIMULATOR_MS));
  StartMonitor();
  ASSERT_TRUE(WindowComesUp()) << "paper out during a job brings the window up";
  ASSERT_TRUE(WaitUntil([&] { return ControlEnabled(window, IDC_CANCEL_PRINT); }, E2E_TICKS_MS));
  EXPECT_EQ(L"出荷ラベル.pdf", ControlText(window, IDC_DOCUMENT_NAME));
  EXPECT_EQ(1, QueueLength());

  ASSERT_TRUE(ClickControl(window, IDC_CANCEL_PRINT));
  EXPECT_TRUE(WindowGoesToTray());
  EXPECT_EQ(0, QueueLength()) << "the language monitor removes the cancelled job";
  EXPECT_EQ(0, PeerReadLong(CB_CANCEL_REQUEST)) << "the language monitor resets the flag";
  EXPECT_EQ("", PeerReadBytes(CB_DOCUMENT_NAME, CB_DOCUMENT_NAME_SIZE));
  EXPECT_EQ(L"", ControlText(window, IDC_DOCUMENT_NAME));
}
