// The print cancel request: the flag in the record, the wait for the job to go, the way back to the tray.
#include "request_fixture.h"
#include "window/window.h"

#define FALLBACK_MUTEX L"Global\\QAxxLM Status Monitor Connection MapFile Mutex"

enum { PUMP_STEP = 100, LANGUAGE_MONITOR_CODE = 500 };

class CancelTest : public RequestTest {
 protected:
  void SetUp() override {
    RequestTest::SetUp();
    OpenRecord(MODEL_SLOT_KR470);
    // Message-only: it minimises like any top-level window, but Wine maps no
    // X window for it, and unmapping one costs seconds on a display without a window manager.
    window = CreateWindowExW(0, L"STATIC", L"status", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                             HWND_MESSAGE, NULL, GetModuleHandleW(NULL), NULL);
    ASSERT_TRUE(window);
  }
  void TearDown() override {
    DestroyWindow(window);
    minimiseFlag = 1;
    RequestTest::TearDown();
  }
  // Ten-millisecond polls that found the job still there.
  unsigned PollSleeps() { return (unsigned)((pausedMilliseconds - PumpedSteps() * PUMP_STEP) / CANCEL_POLL_MILLISECONDS); }
  unsigned PumpedSteps() {
    // Pump steps and poll sleeps differ in length: solve for the pump steps.
    return (unsigned)((pausedMilliseconds - (unsigned long long)pauseCount * CANCEL_POLL_MILLISECONDS) /
                      (PUMP_STEP - CANCEL_POLL_MILLISECONDS));
  }
  HWND window = NULL;
};

TEST_F(CancelTest, NoJobInProgressEndsAtTheFirstPoll) {
  for (int request = 1; request <= 2; request++) {  // a second request repeats the steps
    ResetSeams();
    ShowWindow(window, SW_RESTORE);
    RequestPrintCancel(window);
    EXPECT_EQ(CANCEL_REQUESTED, SharedLong(CB_CANCEL_REQUEST)) << "request " << request;
    EXPECT_EQ(0u, PollSleeps()) << "request " << request;
    EXPECT_EQ((unsigned)CANCEL_PUMP_STEPS, PumpedSteps()) << "request " << request;
    EXPECT_TRUE(IsIconic(window)) << "request " << request;
  }
  EXPECT_TRUE(shownAlerts.empty());
}

TEST_F(CancelTest, JobThatNeverGoesCostsAHundredPolls) {
  SetSharedDocument("label.prn");
  SetSharedLong(CB_STATUS_CODE, LANGUAGE_MONITOR_CODE);
  RequestPrintCancel(window);
  EXPECT_EQ((unsigned)CANCEL_POLLS, pauseCount);
  EXPECT_EQ((unsigned long long)CANCEL_POLLS * CANCEL_POLL_MILLISECONDS, pausedMilliseconds);
  EXPECT_EQ(CANCEL_REQUESTED, SharedLong(CB_CANCEL_REQUEST));
  EXPECT_EQ(LANGUAGE_MONITOR_CODE, SharedLong(CB_STATUS_CODE)) << "the round trip keeps the other side's fields";
  EXPECT_TRUE(IsIconic(window));
  EXPECT_TRUE(shownAlerts.empty());
}

// Plays the language monitor: once the request is seen, it ends the job and
// empties documentName under the fallback mutex, holding it a while.
struct LanguageMonitor {
  BYTE* view;
  DWORD holdMilliseconds;
};

static DWORD WINAPI CancelTheJob(void* parameter) {
  const LanguageMonitor* monitor = (const LanguageMonitor*)parameter;
  while (BlockLong(monitor->view, CB_CANCEL_REQUEST) != CANCEL_REQUESTED) Sleep(1);
  HANDLE mutex = CreateMutexW(NULL, FALSE, FALLBACK_MUTEX);
  WaitForSingleObject(mutex, INFINITE);
  monitor->view[CB_DOCUMENT_NAME] = '\0';
  Sleep(monitor->holdMilliseconds);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return 0;
}

// Waits for real: the polls must miss the emptied name while the fallback
// mutex is held, and end at the first poll after it is let go.
TEST_F(CancelTest, FallbackNamesWaitUntilTheLanguageMonitorEmptiesTheName) {
  enum { HOLD_MILLISECONDS = 200, SURE_POLLS = 5 };
  CloseConnectionBlock();
  OpenRecord(MODEL_SLOT_DUMMY);
  SetSharedDocument("label.prn");
  LanguageMonitor monitor = {sharedView, HOLD_MILLISECONDS};
  HANDLE thread = CreateThread(NULL, 0, CancelTheJob, &monitor, 0, NULL);
  ASSERT_TRUE(thread);
  realPauses = TRUE;
  RequestPrintCancel(window);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);

  EXPECT_GE(PollSleeps(), (unsigned)SURE_POLLS) << "a poll copied while the language monitor held its mutex";
  EXPECT_LT(PollSleeps(), (unsigned)CANCEL_POLLS);
  EXPECT_EQ((unsigned)CANCEL_PUMP_STEPS, PumpedSteps());
  EXPECT_EQ(0, privateCopy[CB_DOCUMENT_NAME]);
  EXPECT_TRUE(IsIconic(window));
}
