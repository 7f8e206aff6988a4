// The spooler's printer list: buffer growth, the retry budget and its boxes.
#include <gtest/gtest.h>
#include "app/app.h"
#include "printers/printers.h"
#include "spooler/scripted_spooler.h"
#include "support.h"

#define TEXT_ENUM_FAILED \
  L"プリンタ（ドライバ）情報取得に失敗しました。\nError : EnumPrinters\n\nプログラムを終了します。"
#define TEXT_ENUM_NO_MEMORY L"メモリ獲得に失敗しました。\nError : EnumPrinters\n\nプログラムを終了します。"

enum { RETRIES = 60, STEPS_PER_RETRY = 10, STEP_MILLISECONDS = 100 };

class EnumerateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSeams();
    SpoolerReset();
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {}
  }
  void TearDown() override {
    FreeAllocated(list);
    SpoolerReset();
  }
  int Enumerate() {
    FreeAllocated(list);
    list = (PRINTER_INFO_2W*)1;  // must be replaced whatever the result
    count = 99;
    return EnumeratePrinters(&list, &count);
  }
  static std::vector<SpoolCall> EnumCalls() {
    std::vector<SpoolCall> calls;
    SpoolCall call;
    for (LONG i = 0; SpoolerGetCall(i, &call); i++)
      if (call.function == SPOOL_ENUM_PRINTERS) calls.push_back(call);
    return calls;
  }
  // Failures other than a buffer shortage: the ones the budget counts.
  static int FailedCalls() {
    int failed = 0;
    for (const SpoolCall& call : EnumCalls()) failed += !call.result && call.error != ERROR_INSUFFICIENT_BUFFER;
    return failed;
  }
  PRINTER_INFO_2W* list = NULL;
  DWORD count = 0;
};

TEST_F(EnumerateTest, GrowsTheBufferToTheNeededSizeAndListsThePrinters) {
  SpoolerAddPrinter(L"Office", L"Generic / Text Only", L"LPT1:", 0);
  SpoolerAddPrinter(L"Shelf", DRIVER_KR470, L"USB001", 0);
  ASSERT_EQ(ENUM_READY, Enumerate());
  ASSERT_EQ(2u, count);
  ASSERT_TRUE(list);
  EXPECT_STREQ(L"Office", list[0].pPrinterName);
  EXPECT_STREQ(DRIVER_KR470, list[1].pDriverName);
  EXPECT_STREQ(L"USB001", list[1].pPortName);

  std::vector<SpoolCall> calls = EnumCalls();
  ASSERT_EQ(2u, calls.size());
  for (const SpoolCall& call : calls) {
    EXPECT_EQ(2u, call.arguments[0]) << "level";
    EXPECT_EQ((DWORD)(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS), call.arguments[1]);
  }
  EXPECT_EQ(0u, calls[0].arguments[2]);
  EXPECT_EQ(calls[0].arguments[3], calls[1].arguments[2]) << "exactly the needed size";
  EXPECT_TRUE(shownAlerts.empty());
  EXPECT_EQ(0u, pauseCount);
}

TEST_F(EnumerateTest, NoPrintersGiveAnEmptyListAtOnce) {
  ASSERT_EQ(ENUM_READY, Enumerate());
  EXPECT_EQ(0u, count);
  EXPECT_EQ(NULL, list);
  EXPECT_EQ(1u, EnumCalls().size());
  EXPECT_TRUE(shownAlerts.empty());
}

// An error that clears before the budget is spent leaves no trace but the
// waits: ten 100 ms steps per failure.
TEST_F(EnumerateTest, ErrorThatClearsInTimeLeavesNoTrace) {
  const LONG failures[] = {1, 7, RETRIES};
  for (LONG failing : failures) {
    SCOPED_TRACE(failing);
    SetUp();
    SpoolerAddPrinter(L"Shelf", DRIVER_KR470, L"USB001", 0);
    SpoolerFail(SPOOL_ENUM_PRINTERS, RPC_S_SERVER_UNAVAILABLE, failing);
    ASSERT_EQ(ENUM_READY, Enumerate());
    EXPECT_EQ(1u, count);
    EXPECT_TRUE(shownAlerts.empty());
    EXPECT_EQ(failing, FailedCalls());
    EXPECT_EQ((unsigned)(failing * STEPS_PER_RETRY), pauseCount);
    EXPECT_EQ((unsigned long long)failing * STEPS_PER_RETRY * STEP_MILLISECONDS, pausedMilliseconds);
  }
}

// 60 retries of about a second each; the 61st failure that is not a shortage
// brings the box. A shortage on the way (the first call) does not count.
TEST_F(EnumerateTest, LastingErrorShowsTheInformationBoxAtTheSixtyFirstFailure) {
  const LONG skips[] = {0, 1};
  for (LONG skip : skips) {
    SCOPED_TRACE(skip);
    SetUp();
    SpoolerAddPrinter(L"Shelf", DRIVER_KR470, L"USB001", 0);
    SpoolerFail(SPOOL_ENUM_PRINTERS, ERROR_ACCESS_DENIED, -1, skip);
    ASSERT_EQ(ENUM_FATAL, Enumerate());
    ASSERT_EQ(1u, shownAlerts.size());
    EXPECT_EQ(std::wstring(TEXT_ENUM_FAILED), shownAlerts[0].text);
    EXPECT_EQ(RETRIES + 1, FailedCalls());
    EXPECT_EQ((size_t)(RETRIES + 1 + skip), EnumCalls().size());
    EXPECT_EQ((unsigned)(RETRIES * STEPS_PER_RETRY), pauseCount);
    EXPECT_EQ(60000ull, pausedMilliseconds);
    EXPECT_EQ(NULL, list);
    EXPECT_EQ(0u, count);
  }
}

// While the enumeration waits, a printer arrives (the list must grow again)
// and the errors go on: growing must not give back the retries already used.
static LRESULT CALLBACK PrinterArrives(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    SpoolerAddPrinter(L"Second", DRIVER_DUMMY, L"USB002", 0);
    // The next call goes through (and finds the list too small), then the errors resume.
    SpoolerFail(SPOOL_ENUM_PRINTERS, ERROR_ACCESS_DENIED, RETRIES, 1);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(EnumerateTest, GrowingTheBufferDoesNotRefillTheBudget) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = PrinterArrives;
  windowClass.hInstance = GetModuleHandleW(NULL);
  windowClass.lpszClassName = L"KR470PrinterArrives";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
  ASSERT_TRUE(window);
  SpoolerAddPrinter(L"Shelf", DRIVER_KR470, L"USB001", 0);
  SpoolerFail(SPOOL_ENUM_PRINTERS, ERROR_ACCESS_DENIED, -1, 1);
  PostMessageW(window, WM_APP, 0, 0);

  EXPECT_EQ(ENUM_FATAL, Enumerate());
  DestroyWindow(window);

  std::vector<SpoolCall> calls = EnumCalls();
  // shortage, failure (the printer arrives), shortage, then the 60 failures
  // that spend the rest of the budget and bring the box.
  ASSERT_EQ(63u, calls.size());
  EXPECT_TRUE(calls[2].arguments[3] > calls[2].arguments[2]) << "the second shortage grew the list";
  EXPECT_EQ(RETRIES + 1, FailedCalls());
  ASSERT_EQ(1u, shownAlerts.size());
  EXPECT_EQ(std::wstring(TEXT_ENUM_FAILED), shownAlerts[0].text);
}

// A shortage whose block cannot be had (it names no size) ends at once.
TEST_F(EnumerateTest, AllocationFailureWhileGrowingShowsTheMemoryBoxAtOnce) {
  SpoolerAddPrinter(L"Shelf", DRIVER_KR470, L"USB001", 0);
  SpoolerFail(SPOOL_ENUM_PRINTERS, ERROR_INSUFFICIENT_BUFFER, 1);
  ASSERT_EQ(ENUM_FATAL, Enumerate());
  ASSERT_EQ(1u, shownAlerts.size());
  EXPECT_EQ(std::wstring(TEXT_ENUM_NO_MEMORY), shownAlerts[0].text);
  EXPECT_EQ(1u, EnumCalls().size());
  EXPECT_EQ(0u, pauseCount);
  EXPECT_EQ(NULL, list);
}

// Start-up's check: the enumeration's own box is the only one, and its result is handed out.
TEST_F(EnumerateTest, SupportedPrinterCheckHandsOutTheEnumerationResult) {
  WriteProfileStringW(L"windows", L"device", L"Shelf,winspool,USB001");
  int result = -1;
  EXPECT_FALSE(FindSupportedPrinter(&result));
  EXPECT_EQ(ENUM_READY, result);

  SpoolerAddPrinter(L"Office", L"Generic / Text Only", L"LPT1:", 0);
  EXPECT_FALSE(FindSupportedPrinter(&result));
  EXPECT_EQ(ENUM_READY, result);

  SpoolerAddPrinter(L"Shelf", DRIVER_KR470, L"USB001", 0);
  EXPECT_TRUE(FindSupportedPrinter(&result));
  EXPECT_EQ(ENUM_READY, result);
  EXPECT_TRUE(shownAlerts.empty());

  SpoolerFail(SPOOL_ENUM_PRINTERS, ERROR_ACCESS_DENIED, -1);
  EXPECT_FALSE(FindSupportedPrinter(&result));
  EXPECT_EQ(ENUM_FATAL, result);
  EXPECT_EQ(1u, shownAlerts.size());
  WriteProfileStringW(L"windows", L"device", NULL);
}
