// The scripted spooler must answer like the real one where the monitor relies
// on it (two-call buffer protocol, missing fields, queues) and do what tests
// script (failures, log, submitted jobs).
#include "spooler/scripted_spooler.h"
#include <winspool.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

#define KR470_NAME L"KR-470"
#define KR470_DRIVER L"NRV KR-470 Raster"
#define KR470_PORT L"USB001"

class ScriptedSpooler : public ::testing::Test {
 protected:
  void SetUp() override {
    SpoolerReset();
    kr470 = SpoolerAddPrinter(KR470_NAME, KR470_DRIVER, KR470_PORT, PRINTER_ATTRIBUTE_ENABLE_BIDI);
  }
  void TearDown() override { EXPECT_EQ(0, SpoolerOpenHandles()); }

  HANDLE Open(const WCHAR* name = KR470_NAME) {
    HANDLE printer = NULL;
    EXPECT_TRUE(OpenPrinterW((LPWSTR)name, &printer, NULL));
    return printer;
  }

  int kr470 = -1;
};

// True when the whole text lies in the buffer, after its fixed entries.
static bool PackedAfter(const WCHAR* text, const std::vector<BYTE>& buffer, size_t fixedBytes) {
  const BYTE* start = (const BYTE*)text;
  const BYTE* end = (const BYTE*)(text + lstrlenW(text) + 1);
  return start >= buffer.data() + fixedBytes && end <= buffer.data() + buffer.size();
}

// EnumJobsW the way the monitor calls it: ask for the size, then fetch.
static std::vector<BYTE> FetchJobs(HANDLE printer, DWORD first, DWORD count, DWORD* returned) {
  DWORD needed = 0;
  std::vector<BYTE> buffer;
  if (EnumJobsW(printer, first, count, 1, NULL, 0, &needed, returned)) return buffer;
  EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
  buffer.resize(needed);
  EXPECT_TRUE(EnumJobsW(printer, first, count, 1, buffer.data(), needed, &needed, returned));
  return buffer;
}

TEST_F(ScriptedSpooler, EnumPrintersAsksForTheSizeThenPacksTextsAfterTheEntries) {
  int bare = SpoolerAddPrinter(L"Bare", NULL, NULL, 0);
  SpoolerAddJob(bare, L"one", L"op", 0);
  SpoolerAddJob(bare, L"two", L"op", 0);
  SpoolerSetJobCount(kr470, 7);
  SpoolerSetPrinterStatus(kr470, PRINTER_STATUS_PAUSED, PRINTER_STATUS_OFFLINE);

  DWORD needed = 0, returned = 99;
  EXPECT_FALSE(EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, NULL, 2, NULL, 0, &needed, &returned));
  EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
  EXPECT_EQ(0u, returned);
  ASSERT_GT(needed, 2 * sizeof(PRINTER_INFO_2W));
  std::vector<BYTE> buffer(needed);
  DWORD asked = needed;
  EXPECT_FALSE(EnumPrintersW(PRINTER_ENUM_LOCAL, NULL, 2, buffer.data(), asked - 1, &needed, &returned));
  EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
  EXPECT_EQ(asked, needed);
  ASSERT_TRUE(EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, NULL, 2, buffer.data(), asked,
                            &needed, &returned));
  ASSERT_EQ(2u, returned);

  const PRINTER_INFO_2W* info = (const PRINTER_INFO_2W*)buffer.data();
  size_t fixedBytes = 2 * sizeof(PRINTER_INFO_2W);
  EXPECT_STREQ(KR470_NAME, info[0].pPrinterName);
  EXPECT_STREQ(KR470_DRIVER, info[0].pDriverName);
  EXPECT_STREQ(KR470_PORT, info[0].pPortName);
  for (const WCHAR* text : {info[0].pPrinterName, info[0].pDriverName, info[0].pPortName, info[1].pPrinterName})
    EXPECT_TRUE(PackedAfter(text, buffer, fixedBytes));
  EXPECT_EQ((DWORD)PRINTER_ATTRIBUTE_ENABLE_BIDI, info[0].Attributes);
  EXPECT_EQ((DWORD)PRINTER_STATUS_PAUSED, info[0].Status);
  EXPECT_EQ(7u, info[0].cJobs);  // as scripted, not the empty queue
  EXPECT_STREQ(L"Bare", info[1].pPrinterName);
  EXPECT_EQ(nullptr, info[1].pDriverName);
  EXPECT_EQ(nullptr, info[1].pPortName);
  EXPECT_EQ(2u, info[1].cJobs);  // the queue
}

TEST_F(ScriptedSpooler, EnumPrintersWithoutPrintersSucceedsWithNothing) {
  SpoolerReset();
  DWORD needed = 99, returned = 99;
  EXPECT_TRUE(EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, NULL, 2, NULL, 0, &needed, &returned));
  EXPECT_EQ(0u, needed);
  EXPECT_EQ(0u, returned);
}

TEST_F(ScriptedSpooler, GetPrinterAsksForTheSizeAndReportsEachLevelsStatus) {
  SpoolerSetPrinterStatus(kr470, PRINTER_STATUS_PAUSED, PRINTER_STATUS_OFFLINE);
  HANDLE printer = Open(L"kr-470");  // names are not case-sensitive
  DWORD needed = 0;
  EXPECT_FALSE(GetPrinterW(printer, 6, NULL, 0, &needed));
  EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
  ASSERT_EQ(sizeof(PRINTER_INFO_6), needed);
  PRINTER_INFO_6 info6 = {};
  ASSERT_TRUE(GetPrinterW(printer, 6, (BYTE*)&info6, sizeof info6, &needed));
  EXPECT_EQ((DWORD)PRINTER_STATUS_OFFLINE, info6.dwStatus);

  EXPECT_FALSE(GetPrinterW(printer, 2, NULL, 0, &needed));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterW(printer, 2, buffer.data(), needed, &needed));
  const PRINTER_INFO_2W* info2 = (const PRINTER_INFO_2W*)buffer.data();
  EXPECT_STREQ(KR470_NAME, info2->pPrinterName);
  EXPECT_TRUE(PackedAfter(info2->pDriverName, buffer, sizeof *info2));
  EXPECT_EQ((DWORD)PRINTER_STATUS_PAUSED, info2->Status);

  EXPECT_FALSE(GetPrinterW(printer, 3, NULL, 0, &needed));
  EXPECT_EQ((DWORD)ERROR_INVALID_LEVEL, GetLastError());
  EXPECT_TRUE(ClosePrinter(printer));
  EXPECT_FALSE(GetPrinterW(printer, 6, (BYTE*)&info6, sizeof info6, &needed));
  EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
}

TEST_F(ScriptedSpooler, EnumJobsShowsTheAskedWindowOfTheQueue) {
  DWORD first = SpoolerAddJob(kr470, L"report", L"alice", JOB_STATUS_PRINTING);
  DWORD second = SpoolerAddJob(kr470, NULL, NULL, JOB_STATUS_PAUSED);
  DWORD third = SpoolerAddJob(kr470, L"labels", L"bob", 0);
  ASSERT_TRUE(SpoolerRemoveJob(kr470, first));  // the queue closes the gap
  DWORD fourth = SpoolerAddJob(kr470, L"late", L"carol", 0);
  HANDLE printer = Open();

  struct Window {
    DWORD first, count;
    std::vector<DWORD> ids;
  } windows[] = {
      {0, 1, {second}}, {1, 5, {third, fourth}}, {0, 3, {second, third, fourth}}, {3, 1, {}}, {10, 1, {}},
  };
  for (const Window& window : windows) {
    SCOPED_TRACE(testing::Message() << "first " << window.first << ", count " << window.count);
    DWORD returned = 99;
    std::vector<BYTE> buffer = FetchJobs(printer, window.first, window.count, &returned);
    ASSERT_EQ(window.ids.size(), returned);
    const JOB_INFO_1W* jobs = (const JOB_INFO_1W*)buffer.data();
    for (DWORD i = 0; i < returned; i++) {
      EXPECT_EQ(window.ids[i], jobs[i].JobId);
      EXPECT_EQ(window.first + i + 1, jobs[i].Position);
    }
  }

  DWORD returned = 0;
  std::vector<BYTE> buffer = FetchJobs(printer, 0, 2, &returned);
  const JOB_INFO_1W* jobs = (const JOB_INFO_1W*)buffer.data();
  ASSERT_EQ(2u, returned);
  EXPECT_EQ(nullptr, jobs[0].pDocument);
  EXPECT_EQ(nullptr, jobs[0].pUserName);
  EXPECT_EQ((DWORD)JOB_STATUS_PAUSED, jobs[0].Status);
  EXPECT_STREQ(L"labels", jobs[1].pDocument);
  EXPECT_STREQ(L"bob", jobs[1].pUserName);
  EXPECT_TRUE(PackedAfter(jobs[1].pDocument, buffer, 2 * sizeof *jobs));
  ClosePrinter(printer);
}

TEST_F(ScriptedSpooler, SubmittedDocumentBecomesAJobWithItsData) {
  HANDLE printer = Open();
  DOC_INFO_1W document = {(LPWSTR)L"QATOLMWindow-Dummy", NULL, (LPWSTR)L"RAW"};
  DWORD id = StartDocPrinterW(printer, 1, (BYTE*)&document);
  ASSERT_NE(0u, id);
  SpoolJob job = {};
  ASSERT_TRUE(SpoolerGetJob(kr470, 0, &job));
  EXPECT_FALSE(job.complete);  // still being written

  BYTE zeros[15] = {};
  BYTE pattern[60];
  FillMemory(pattern, sizeof pattern, 0xAB);
  DWORD written = 0;
  EXPECT_TRUE(WritePrinter(printer, zeros, sizeof zeros, &written));
  EXPECT_EQ(sizeof zeros, written);
  EXPECT_TRUE(WritePrinter(printer, pattern, sizeof pattern, &written));
  EXPECT_TRUE(EndDocPrinter(printer));
  EXPECT_TRUE(ClosePrinter(printer));

  ASSERT_EQ(1, SpoolerJobCount(kr470));
  ASSERT_TRUE(SpoolerGetJob(kr470, 0, &job));
  EXPECT_EQ(id, job.id);
  EXPECT_TRUE(job.hasDocument);
  EXPECT_STREQ(L"QATOLMWindow-Dummy", job.document);
  EXPECT_STREQ(L"RAW", job.datatype);
  EXPECT_STRNE(L"", job.user);
  EXPECT_TRUE(job.complete);
  EXPECT_EQ(0u, job.status & JOB_STATUS_SPOOLING);
  EXPECT_EQ(sizeof zeros + sizeof pattern, job.bytes);  // every byte counted
  std::vector<BYTE> kept(job.data, job.data + SPOOL_JOB_DATA);
  std::vector<BYTE> expected(SPOOL_JOB_DATA, 0xAB);
  std::fill(expected.begin(), expected.begin() + sizeof zeros, 0);
  EXPECT_EQ(expected, kept);  // the first SPOOL_JOB_DATA bytes
}

TEST_F(ScriptedSpooler, MisusedHandlesAndUnknownNamesFail) {
  HANDLE printer = INVALID_HANDLE_VALUE;
  EXPECT_FALSE(OpenPrinterW((LPWSTR)L"Nobody", &printer, NULL));
  EXPECT_EQ((DWORD)ERROR_INVALID_PRINTER_NAME, GetLastError());
  EXPECT_EQ(nullptr, printer);

  printer = Open();
  BYTE data[1] = {};
  DWORD written = 0;
  EXPECT_FALSE(WritePrinter(printer, data, sizeof data, &written));
  EXPECT_EQ((DWORD)ERROR_SPL_NO_STARTDOC, GetLastError());
  EXPECT_FALSE(EndDocPrinter(printer));
  EXPECT_EQ((DWORD)ERROR_SPL_NO_STARTDOC, GetLastError());

  // A document left open is ended by closing the printer.
  DOC_INFO_1W document = {(LPWSTR)L"open", NULL, NULL};
  EXPECT_NE(0u, StartDocPrinterW(printer, 1, (BYTE*)&document));
  EXPECT_TRUE(ClosePrinter(printer));
  EXPECT_FALSE(ClosePrinter(printer));
  EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
  SpoolJob job = {};
  ASSERT_TRUE(SpoolerGetJob(kr470, 0, &job));
  EXPECT_TRUE(job.complete);
  EXPECT_STREQ(L"RAW", job.datatype);
}

TEST_F(ScriptedSpooler, LogKeepsTheLatestCallsWithTheirArguments) {
  HANDLE printer = Open();
  DWORD needed = 0, returned = 0;
  EnumJobsW(printer, 3, 1, 1, NULL, 0, &needed, &returned);
  SpoolCall call = {};
  ASSERT_TRUE(SpoolerGetCall(1, &call));
  EXPECT_EQ(SPOOL_ENUM_JOBS, call.function);
  EXPECT_STREQ(KR470_NAME, call.printer);
  EXPECT_EQ(1u, call.arguments[0]);
  EXPECT_EQ(3u, call.arguments[1]);
  EXPECT_TRUE(call.result);
  ClosePrinter(printer);

  SpoolerClearLog();
  EXPECT_FALSE(SpoolerGetCall(0, &call));
  for (int i = 0; i < SPOOL_LOG_SIZE + 5; i++)
    EnumPrintersW(PRINTER_ENUM_LOCAL, NULL, 2, NULL, 0, &needed, &returned);
  EXPECT_EQ(SPOOL_LOG_SIZE, SpoolerCallCount(SPOOL_ENUM_PRINTERS));
  EXPECT_EQ(0, SpoolerCallCount(SPOOL_ENUM_JOBS));
  EXPECT_FALSE(SpoolerGetCall(4, &call));  // overwritten
  ASSERT_TRUE(SpoolerGetCall(SPOOL_LOG_SIZE + 4, &call));
  DWORD expected[4] = {2, PRINTER_ENUM_LOCAL, 0, needed};
  EXPECT_EQ(0, memcmp(expected, call.arguments, sizeof expected));
  EXPECT_FALSE(call.result);
  EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, call.error);
  EXPECT_FALSE(SpoolerGetCall(SPOOL_LOG_SIZE + 5, &call));  // not yet made
}

TEST_F(ScriptedSpooler, DefaultPrinterGoesIntoTheProfile) {
  WCHAR device[256];
  ASSERT_TRUE(SpoolerSetDefaultPrinter(KR470_NAME));
  GetProfileStringW(L"windows", L"device", L",,,", device, ARRAYSIZE(device));
  EXPECT_STREQ(KR470_NAME L",winspool," KR470_PORT, device);
  ASSERT_TRUE(SpoolerSetDefaultPrinter(L"Elsewhere"));  // not installed: the usual port
  GetProfileStringW(L"windows", L"device", L",,,", device, ARRAYSIZE(device));
  EXPECT_STREQ(L"Elsewhere,winspool,LPT1:", device);
  ASSERT_TRUE(SpoolerSetDefaultPrinter(NULL));
  GetProfileStringW(L"windows", L"device", L",,,", device, ARRAYSIZE(device));
  EXPECT_STREQ(L",,,", device);
}

// One call of a function, as the monitor would make it; the printer handle and
// document that the call needs are set up around it.
struct Outcome {
  BOOL result;
  DWORD error;
};

static Outcome CallOnce(SpoolFunction function) {
  Outcome outcome = {FALSE, 0};
  BYTE buffer[1024];
  DWORD needed = 0, returned = 0, written = 0;
  HANDLE printer = NULL;
  DOC_INFO_1W document = {(LPWSTR)L"doc", NULL, (LPWSTR)L"RAW"};
  if (function == SPOOL_ENUM_PRINTERS) {
    outcome.result = EnumPrintersW(PRINTER_ENUM_LOCAL, NULL, 2, buffer, sizeof buffer, &needed, &returned);
    outcome.error = GetLastError();
    return outcome;
  }
  if (function == SPOOL_OPEN_PRINTER) {
    outcome.result = OpenPrinterW((LPWSTR)KR470_NAME, &printer, NULL);
    outcome.error = GetLastError();
    if (printer) ClosePrinter(printer);
    return outcome;
  }
  EXPECT_TRUE(OpenPrinterW((LPWSTR)KR470_NAME, &printer, NULL));
  if (function == SPOOL_WRITE_PRINTER || function == SPOOL_END_DOC) {
    EXPECT_NE(0u, StartDocPrinterW(printer, 1, (BYTE*)&document));
  }
  SetLastError(0);
  switch (function) {
    case SPOOL_GET_PRINTER: outcome.result = GetPrinterW(printer, 6, buffer, sizeof buffer, &needed); break;
    case SPOOL_ENUM_JOBS:
      outcome.result = EnumJobsW(printer, 0, 1, 1, buffer, sizeof buffer, &needed, &returned);
      break;
    case SPOOL_START_DOC: outcome.result = StartDocPrinterW(printer, 1, (BYTE*)&document) != 0; break;
    case SPOOL_WRITE_PRINTER: outcome.result = WritePrinter(printer, buffer, 1, &written); break;
    case SPOOL_END_DOC: outcome.result = EndDocPrinter(printer); break;
    case SPOOL_CLOSE_PRINTER: outcome.result = ClosePrinter(printer); break;
    default: break;
  }
  outcome.error = GetLastError();
  if (function != SPOOL_CLOSE_PRINTER) ClosePrinter(printer);
  return outcome;
}

class InjectedFailure : public ScriptedSpooler, public ::testing::WithParamInterface<SpoolFunction> {};

TEST_P(InjectedFailure, SkipsThenFailsTheScriptedCallsThenRecovers) {
  SpoolFunction function = GetParam();
  SpoolerFail(function, ERROR_ACCESS_DENIED, 2, 1);
  Outcome outcomes[4];
  for (Outcome& outcome : outcomes) outcome = CallOnce(function);
  EXPECT_TRUE(outcomes[0].result);
  for (int i = 1; i <= 2; i++) {
    EXPECT_FALSE(outcomes[i].result) << "call " << i;
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, outcomes[i].error) << "call " << i;
  }
  EXPECT_TRUE(outcomes[3].result);

  SpoolerClearLog();
  SpoolerFail(function, ERROR_BUSY, -1);
  for (int i = 0; i < 3; i++) EXPECT_FALSE(CallOnce(function).result) << "for ever, call " << i;
  SpoolCall call = {};
  LONG index = 0;
  while (SpoolerGetCall(index, &call) && call.function != function) index++;
  EXPECT_EQ(function, call.function);
  EXPECT_FALSE(call.result);
  EXPECT_EQ((DWORD)ERROR_BUSY, call.error);

  SpoolerFail(function, 0, 0);
  EXPECT_TRUE(CallOnce(function).result);
}

INSTANTIATE_TEST_SUITE_P(EachFunction, InjectedFailure,
                         ::testing::Values(SPOOL_ENUM_PRINTERS, SPOOL_OPEN_PRINTER, SPOOL_GET_PRINTER,
                                           SPOOL_ENUM_JOBS, SPOOL_START_DOC, SPOOL_WRITE_PRINTER,
                                           SPOOL_END_DOC, SPOOL_CLOSE_PRINTER));
