// One refresh: the spooler values, the shared record's texts and code, the model slot and the mutex.
#include <vector>
#include "status_fixture.h"

using RefreshTest = StatusWindowTest;

#define DUMMY_MAPPING L"Global\\QAxxLM Status Monitor Connection MapFile"

TEST_F(RefreshTest, StatusCodeIsTheLowSixteenBitsOfTheRecordsCode) {
  struct CodeCase {
    LONG written;
    SHORT code;
  };
  static const CodeCase codeCases[] = {
      {302, 302}, {65536 + 300, 300}, {-5, -5}, {0x7FFFFFFF, -1}, {65535, -1},
      {32768, -32768}, {9999, 9999}, {-65536 + 1500, 1500}, {0, 0},
  };
  SHORT previous = 0;
  for (const CodeCase& c : codeCases) {
    SCOPED_TRACE(c.written);
    SetSharedLong(CB_STATUS_CODE, c.written);
    ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
    EXPECT_EQ(c.code, state->statusCode);
    EXPECT_EQ(previous, state->previousCode);
    EXPECT_EQ(ControlText(window, IDC_STATUS_TEXT), std::wstring(state->messageText));
    EXPECT_EQ(L'[', state->messageText[0]);
    previous = c.code;
  }
}

TEST_F(RefreshTest, DisplayModeOneEndsTheMonitorBeforeAnythingIsShown) {
  SetSharedLong(CB_STATUS_CODE, 302);
  SetSharedText(CB_PRINTER_NAME, "P");
  SetSharedLong(CB_DISPLAY_MODE, CB_DISPLAY_MODE_END);
  EXPECT_EQ(REFRESH_END, RefreshStatus(window, state));
  EXPECT_EQ(0, state->statusCode);
  EXPECT_STREQ(L"", state->printerName);
  EXPECT_EQ(L"", ControlText(window, IDC_STATUS_TEXT));

  // Only the value 1 ends it; the low 16 bits alone do not count.
  static const LONG goOnModes[] = {0, 2, 3, -1, 0x7FFFFFFF, 65537};
  for (LONG mode : goOnModes) {
    SetSharedLong(CB_DISPLAY_MODE, mode);
    EXPECT_EQ(REFRESH_DONE, RefreshStatus(window, state)) << mode;
  }
  EXPECT_EQ(302, state->statusCode);
}

// The texts as a Japanese Windows writes them (code page 932), trail bytes
// that look like "\" included.
TEST_F(RefreshTest, TitleAndJobLabelsComeFromTheRecordsJapaneseTexts) {
  ASSERT_EQ(932u, GetACP()) << "the tests must run under a Japanese locale";
  SetSharedText(CB_PRINTER_NAME, "\x83\x89\x83\x78\x83\x8B\x83\x76\x83\x8A\x83\x93\x83\x5E");  // ラベルプリンタ
  SetSharedText(CB_MODEL_TEXT, "KR-470");
  SetSharedText(CB_USER_NAME, "\x8E\x52\x93\x63\x91\xBE\x98\x59");  // 山田太郎
  SetSharedText(CB_DOCUMENT_NAME,
                "\x8C\xA9\x90\xCF\x95\x5C\x5F\x83\x5C\x83\x74\x83\x67\x2E\x78\x6C\x73\x78");  // 見積表_ソフト.xlsx
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  EXPECT_EQ(L"ラベルプリンタ KR-470 Status Monitor", WindowTitle(window));
  EXPECT_STREQ(L"ラベルプリンタ", state->printerName);
  EXPECT_STREQ(L"KR-470", state->modelText);
  EXPECT_EQ(L"山田太郎", ControlText(window, IDC_USER_NAME));
  EXPECT_EQ(L"見積表_ソフト.xlsx", ControlText(window, IDC_DOCUMENT_NAME));

  // The job is gone: the labels empty on the next refresh.
  SetSharedText(CB_USER_NAME, "");
  SetSharedText(CB_DOCUMENT_NAME, "");
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  EXPECT_EQ(L"", ControlText(window, IDC_USER_NAME));
  EXPECT_EQ(L"", ControlText(window, IDC_DOCUMENT_NAME));
}

// Fields filled to their last byte: each text ends with its field (the next
// field's bytes never leak in) and is cut to what its destination holds.
TEST_F(RefreshTest, UnterminatedFieldsEndAtTheFieldAndTheDestination) {
  std::vector<char> fill(CB_DOCUMENT_NAME_SIZE);
  std::fill(fill.begin(), fill.end(), 'P');
  SetSharedBytes(CB_PRINTER_NAME, fill.data(), CB_PRINTER_NAME_SIZE);
  std::fill(fill.begin(), fill.end(), 'U');
  SetSharedBytes(CB_USER_NAME, fill.data(), CB_USER_NAME_SIZE);
  std::fill(fill.begin(), fill.end(), 'D');
  SetSharedBytes(CB_DOCUMENT_NAME, fill.data(), CB_DOCUMENT_NAME_SIZE);
  std::fill(fill.begin(), fill.end(), 'M');
  SetSharedBytes(CB_MODEL_TEXT, fill.data(), CB_MODEL_TEXT_SIZE);
  SetSharedLong(CB_CANCEL_REQUEST, 0x41414141);

  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  EXPECT_EQ(std::wstring(511, L'P'), state->printerName);
  EXPECT_EQ(std::wstring(64, L'M'), state->modelText);
  EXPECT_EQ(std::wstring(256, L'U'), ControlText(window, IDC_USER_NAME));
  EXPECT_EQ(std::wstring(1023, L'D'), ControlText(window, IDC_DOCUMENT_NAME));
  EXPECT_EQ(std::wstring(511, L'P') + L" " + std::wstring(64, L'M') + L" Status Monitor", WindowTitle(window));
}

TEST_F(RefreshTest, SpoolerValuesAreReadAndKeptWhenAQueryFails) {
  SpoolerSetPrinterStatus(printer, 0, PRINTER_STATUS_OFFLINE);
  DWORD job = SpoolerAddJob(printer, L"doc", L"user", JOB_STATUS_PRINTING);
  SpoolerAddJob(printer, L"second", L"user", JOB_STATUS_PAUSED);
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  EXPECT_EQ(2u, printerJobCount);
  EXPECT_EQ((DWORD)PRINTER_STATUS_OFFLINE, printerStatus);
  EXPECT_EQ((DWORD)JOB_STATUS_PRINTING, firstJobStatus);

  // Every way a query can fail keeps the value it would have read.
  SpoolerSetPrinterStatus(printer, 0, PRINTER_STATUS_ERROR);
  SpoolerSetJobStatus(printer, job, JOB_STATUS_ERROR);
  struct Failure {
    SpoolFunction function;
    DWORD error;
    LONG skip;
  };
  static const Failure failures[] = {
      {SPOOL_GET_PRINTER, ERROR_ACCESS_DENIED, 0},       // the sizing call
      {SPOOL_GET_PRINTER, ERROR_INVALID_HANDLE, 1},      // the reading call
      {SPOOL_ENUM_JOBS, ERROR_ACCESS_DENIED, 0},
      {SPOOL_ENUM_JOBS, ERROR_INSUFFICIENT_BUFFER, 1},
      {SPOOL_OPEN_PRINTER, ERROR_ACCESS_DENIED, 0},
  };
  for (const Failure& failure : failures) {
    SCOPED_TRACE(testing::Message() << "function " << failure.function << " skip " << failure.skip);
    SpoolerFail(failure.function, failure.error, 1, failure.skip);
    ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
    SpoolerFail(failure.function, 0, 0);
    BOOL statusRead = failure.function == SPOOL_ENUM_JOBS;
    BOOL jobRead = failure.function == SPOOL_GET_PRINTER;
    EXPECT_EQ(statusRead ? (DWORD)PRINTER_STATUS_ERROR : PRINTER_STATUS_OFFLINE, printerStatus);
    EXPECT_EQ(jobRead ? (DWORD)JOB_STATUS_ERROR : JOB_STATUS_PRINTING, firstJobStatus);
    // Back to the values of the first refresh, for the next case.
    printerStatus = PRINTER_STATUS_OFFLINE;
    firstJobStatus = JOB_STATUS_PRINTING;
  }

  // The list still gives the job count when the printer cannot be opened.
  SpoolerRemoveJob(printer, job);
  SpoolerFail(SPOOL_OPEN_PRINTER, ERROR_ACCESS_DENIED, 1);
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  EXPECT_EQ(1u, printerJobCount);
  EXPECT_EQ((DWORD)PRINTER_STATUS_OFFLINE, printerStatus);
}

TEST_F(RefreshTest, AnEmptyQueueKeepsTheLastFirstJobStatus) {
  DWORD job = SpoolerAddJob(printer, L"doc", L"user", JOB_STATUS_PRINTING);
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  SpoolerRemoveJob(printer, job);
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  EXPECT_EQ(0u, printerJobCount);
  EXPECT_EQ((DWORD)JOB_STATUS_PRINTING, firstJobStatus);
}

// Another default printer: nothing is asked about it, nothing changes.
TEST_F(RefreshTest, AnUnsupportedDefaultPrinterLeavesEverythingAsItWas) {
  SpoolerSetPrinterStatus(printer, 0, PRINTER_STATUS_PAUSED);
  SpoolerAddJob(printer, L"doc", L"user", JOB_STATUS_PRINTING);
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  const WCHAR* names = mappingName;
  BYTE* view = sharedView;

  SpoolerAddPrinter(OTHER_PRINTER, L"Generic Laser", L"LPT1:", PRINTER_ATTRIBUTE_LOCAL);
  SpoolerSetDefaultPrinter(OTHER_PRINTER);
  SpoolerSetPrinterStatus(printer, 0, PRINTER_STATUS_ERROR);
  SpoolerAddJob(printer, L"more", L"user", JOB_STATUS_ERROR);
  SpoolerClearLog();
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  EXPECT_EQ(1u, printerJobCount);
  EXPECT_EQ((DWORD)PRINTER_STATUS_PAUSED, printerStatus);
  EXPECT_EQ((DWORD)JOB_STATUS_PRINTING, firstJobStatus);
  EXPECT_EQ(0, SpoolerCallCount(SPOOL_OPEN_PRINTER));
  EXPECT_EQ(MODEL_SLOT_KR470, ModelSlot);
  EXPECT_EQ(names, mappingName);
  EXPECT_EQ(view, sharedView);
}

// The language monitor holds the mutex: this refresh shows the last copy and
// does not wait for the mutex.
TEST_F(RefreshTest, AHeldMutexMeansThePreviousCopyWithoutWaiting) {
  SetSharedLong(CB_STATUS_CODE, 301);
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  SetSharedLong(CB_STATUS_CODE, 302);

  MutexHolder holder;
  ASSERT_TRUE(HoldMappingMutex(&holder));
  DWORD started = GetTickCount();
  int result = RefreshStatus(window, state);
  DWORD took = GetTickCount() - started;
  ReleaseMappingMutex(&holder);

  EXPECT_EQ(REFRESH_DONE, result);
  EXPECT_EQ(301, state->statusCode);
  EXPECT_EQ(L"[0301 カバーオープン]", Head(ControlText(window, IDC_STATUS_TEXT).c_str()));
  EXPECT_EQ(0u, pauseCount);
  EXPECT_LT(took, 1000u);

  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  EXPECT_EQ(302, state->statusCode);
}

TEST_F(RefreshTest, ASlotChangeRecreatesTheRecordOnceAndIsRecordedOnTheNextRefresh) {
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  EXPECT_EQ(1, modelSlotRecorded);
  EXPECT_EQ(MODEL_SLOT_KR470, recordedModelSlot);

  SetSharedLong(CB_STATUS_CODE, 302);
  SpoolerAddPrinter(DUMMY_PRINTER, DRIVER_DUMMY, TEST_PORT, PRINTER_ATTRIBUTE_LOCAL);
  SpoolerSetDefaultPrinter(DUMMY_PRINTER);
  BYTE* oldView = sharedView;
  ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
  EXPECT_EQ(MODEL_SLOT_DUMMY, ModelSlot);
  EXPECT_STREQ(DUMMY_MAPPING, mappingName);
  EXPECT_NE(oldView, sharedView);
  EXPECT_EQ(0, modelSlotRecorded);
  // The new record is read at once: its initial code, not the old record's 302.
  EXPECT_EQ(0, state->statusCode);

  BYTE* newView = sharedView;
  for (int refresh = 0; refresh < 2; refresh++) {
    ASSERT_EQ(REFRESH_DONE, RefreshStatus(window, state));
    EXPECT_EQ(newView, sharedView) << "re-created again";
    EXPECT_EQ(1, modelSlotRecorded);
    EXPECT_EQ(MODEL_SLOT_DUMMY, recordedModelSlot);
  }
}

TEST_F(RefreshTest, APrinterListThatCannotBeReadEndsTheMonitor) {
  SpoolerFail(SPOOL_ENUM_PRINTERS, ERROR_ACCESS_DENIED, -1);
  EXPECT_EQ(REFRESH_END, RefreshStatus(window, state));
  EXPECT_EQ(1u, shownAlerts.size());
}
