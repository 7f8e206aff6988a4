// The tick: re-arming, ending, the notification-area icon, and the window surfacing and hiding by itself.
#include <vector>
#include "status_fixture.h"

class TickTest : public StatusWindowTest {
 protected:
  void Tick() { StatusTimerProc(window, WM_TIMER, (UINT_PTR)state, GetTickCount()); }
};

struct Sequence {
  std::vector<LONG> codes;      // written into the record, one per tick
  std::vector<int> surfaced;    // surfacing requests posted by each tick
  std::vector<int> hidden;      // minimises into the notification area by each tick
};

TEST_F(TickTest, ErrorsSurfaceTheWindowOncePerChangeAndTheirEndHidesIt) {
  static const Sequence sequences[] = {
      {{0, 302, 302, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}},
      {{301, 302}, {1, 1}, {0, 0}},
      {{0, 2, 100}, {0, 0, 0}, {0, 0, 0}},
      {{299, 300, 299}, {0, 1, 0}, {0, 0, 1}},
      {{302, 100}, {1, 0}, {0, 1}},
      {{500, -5}, {1, 0}, {0, 1}},                  // signed: negative codes are no errors
      {{0, 65536 + 300}, {0, 1}, {0, 0}},           // the low 16 bits count
      {{1500, 32768}, {1, 0}, {0, 1}},              // 32768 is -32768 in 16 bits
      {{0x7FFFFFFF, 0}, {0, 0}, {0, 0}},
  };
  for (const Sequence& sequence : sequences) {
    SCOPED_TRACE(testing::PrintToString(sequence.codes));
    state->statusCode = state->previousCode = 0;
    for (size_t tick = 0; tick < sequence.codes.size(); tick++) {
      SCOPED_TRACE(tick);
      ShowWindow(window, SW_RESTORE);
      minimiseFlag = 1;
      dialogLog.minimises = 0;
      SetSharedLong(CB_STATUS_CODE, sequence.codes[tick]);
      Tick();
      EXPECT_EQ(sequence.surfaced[tick], TakeSurfacingRequests(window));
      EXPECT_EQ(sequence.hidden[tick], dialogLog.minimises);
      // Only the monitor's own minimise clears the flag.
      EXPECT_EQ(sequence.hidden[tick] ? 0 : 1, minimiseFlag);
    }
  }
}

TEST_F(TickTest, TipAndPictureFollowTheCodeByTheNotificationAreasOwnTable) {
  struct TrayCase {
    LONG code;
    const WCHAR* tip;
    WORD icon;
  };
  static const TrayCase trayCases[] = {
      {-2, L"002 プリンタ異常", IDI_FAULT},
      {0, L"印刷可能...", IDI_READY},
      {150, L"ワーニング...", IDI_NOTICE},  // the window shows the fault icon
      {302, L"用紙なし", IDI_OPERATOR_ERROR},
      {300, L"プリンタ異常", IDI_OPERATOR_ERROR},  // likewise
      {700, L"ハードエラー", IDI_HARDWARE_ERROR},
  };
  // (Rising codes only: hiding a window costs the display's round trip.)
  for (const TrayCase& c : trayCases) {
    SCOPED_TRACE(c.code);
    // Whatever was in the tip before must not show behind the new one.
    for (WCHAR& unit : trayIconData.szTip) unit = L'x';
    trayIconData.hIcon = NULL;
    SetSharedLong(CB_STATUS_CODE, c.code);
    Tick();
    EXPECT_STREQ(c.tip, trayIconData.szTip);
    size_t length = lstrlenW(c.tip);
    for (size_t i = length; i < ARRAYSIZE(trayIconData.szTip); i++) ASSERT_EQ(L'\0', trayIconData.szTip[i]) << i;
    EXPECT_EQ(IconOf(c.icon), trayIconData.hIcon);
    TakeSurfacingRequests(window);
  }
}

TEST_F(TickTest, EachTickRearmsItself) {
  state->timerId = SetTimer(window, (UINT_PTR)state, 60000, StatusTimerProc);
  ASSERT_NE(0u, state->timerId);
  Tick();
  EXPECT_EQ((UINT_PTR)state, state->timerId);
  EXPECT_EQ(0, dialogLog.destroys);
}

// The one real wait of the suite: the next tick comes about 500 ms after this
// one ended, through the timer the tick armed.
TEST_F(TickTest, TheNextTickFollowsHalfASecondAfterTheEnd) {
  Tick();
  DWORD ended = GetTickCount();
  SetSharedLong(CB_STATUS_CODE, 302);
  while (state->statusCode != 302 && GetTickCount() - ended < 3000) {
    MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  DWORD took = GetTickCount() - ended;
  EXPECT_EQ(302, state->statusCode);
  EXPECT_GE(took, 400u);
  EXPECT_LT(took, 1500u);
}

// The refresh says the monitor must end: the window is told, and no tick follows.
TEST_F(TickTest, AnEndingRefreshDestroysTheWindowAndDoesNotRearm) {
  struct Ending {
    const char* why;
    BOOL listFails;
  };
  static const Ending endings[] = {{"displayMode 1", FALSE}, {"printer list unreadable", TRUE}};
  for (const Ending& ending : endings) {
    SCOPED_TRACE(ending.why);
    dialogLog.destroys = 0;
    SetSharedLong(CB_DISPLAY_MODE, ending.listFails ? CB_DISPLAY_MODE_ERRORS : CB_DISPLAY_MODE_END);
    SetSharedLong(CB_STATUS_CODE, 302);
    if (ending.listFails) SpoolerFail(SPOOL_ENUM_PRINTERS, ERROR_ACCESS_DENIED, -1);
    state->timerId = SetTimer(window, (UINT_PTR)state, 60000, StatusTimerProc);
    Tick();
    SpoolerFail(SPOOL_ENUM_PRINTERS, 0, 0);
    EXPECT_EQ(1, dialogLog.destroys);
    EXPECT_EQ(0u, state->timerId);
    EXPECT_FALSE(KillTimer(window, (UINT_PTR)state)) << "a tick is still armed";
    EXPECT_EQ(0, TakeSurfacingRequests(window));
  }
}
