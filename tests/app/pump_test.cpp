// The bounded message pump of the waits inside handlers.
#include <gtest/gtest.h>
#include "app/app.h"
#include "support.h"

static int dispatched;

static LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) dispatched++;
  return DefWindowProcW(window, message, wParam, lParam);
}

class PumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSeams();
    Drain();
    dispatched = 0;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"KR470PumpTest";
    RegisterClassW(&windowClass);
    window = CreateWindowW(L"KR470PumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, windowClass.hInstance, NULL);
    ASSERT_TRUE(window);
  }
  void TearDown() override {
    DestroyWindow(window);
    Drain();
  }
  static void Drain() {
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {}
  }
  static int Waiting(UINT which) {
    int count = 0;
    MSG message;
    while (PeekMessageW(&message, NULL, which, which, PM_REMOVE)) count++;
    return count;
  }
  HWND window;
};

// One message per 100 ms step, never more, and no early end when the queue empties.
TEST_F(PumpTest, DispatchesAtMostOneMessagePerStep) {
  for (int i = 0; i < 5; i++) PostMessageW(window, WM_APP, 0, 0);
  EXPECT_EQ(0, PumpMessages(3));
  EXPECT_EQ(3, dispatched);
  EXPECT_EQ(3u, pauseCount);
  EXPECT_EQ(300ull, pausedMilliseconds);
  EXPECT_EQ(2, Waiting(WM_APP));

  ResetSeams();
  PostMessageW(window, WM_APP, 0, 0);
  EXPECT_EQ(0, PumpMessages(4));
  EXPECT_EQ(4, dispatched);
  EXPECT_EQ(4u, pauseCount);
}

TEST_F(PumpTest, CountOfZeroOrLessReturnsAtOnce) {
  PostMessageW(window, WM_APP, 0, 0);
  EXPECT_EQ(0, PumpMessages(0));
  EXPECT_EQ(0, PumpMessages(-3));
  EXPECT_EQ(0u, pauseCount);
  EXPECT_EQ(0, dispatched);
  EXPECT_EQ(1, Waiting(WM_APP));
}

// A quit taken inside a handler's wait still ends the main loop afterwards.
TEST_F(PumpTest, QuitTakenByThePumpIsPostedAgain) {
  PostQuitMessage(7);
  EXPECT_EQ(0, PumpMessages(3));
  EXPECT_EQ(3u, pauseCount);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ((UINT)WM_QUIT, message.message);
  EXPECT_EQ(7u, message.wParam);
  EXPECT_FALSE(PeekMessageW(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) << "one quit, not several";
}
