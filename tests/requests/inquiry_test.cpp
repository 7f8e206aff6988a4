// The status inquiry: its checks, its boxes and the dummy job it sends.
#include "request_fixture.h"

#define TEXT_OPEN_FAILED L"プリンタ情報の獲得に失敗しました。\nError : OpenPrinter\n\nプログラムを終了します。"
#define TEXT_BIDI_OFF L"プリンタの双方向機能が無効になっています。\n\n[プリンタ]フォルダからプロパティを開いて、双方向機能を有効にしてください。"
#define TEXT_PAUSED L"プリンタは一時停止状態です。\n\n[プリンタ]フォルダを開いて、一時停止チェックを解除してください。"
#define TEXT_WORK_OFFLINE L"プリンタはオフラインになっています。\n\n[プリンタ]フォルダを開いて、オフラインチェックを解除してください。"
#define TEXT_ENUM_JOBS_FAILED L"プリンタ（ドライバ）情報取得に失敗しました。\nError : EnumJobs\n\nプログラムを終了します。"
#define TEXT_START_DOC_FAILED L"プリンタ（ドライバ）情報取得に失敗しました。\nError : StartDocPrinter\n\nプログラムを終了します。"
#define TEXT_NOT_DEFAULT L"NRV KR-470プリンタを接続し\n通常使うプリンタに設定してください。"
#define TEXT_WRONG_PORT L"プリンタポートの設定が異なります。\n[プリンタ]フォルダからプロパティを開いて、ポート設定を変更してください。"
#define TEXT_NOT_FOUND L"プリンタ（ドライバ）が見つかりません。\n\nプログラムを終了します。"
#define TEXT_ENUM_PRINTERS_FAILED L"プリンタ（ドライバ）情報取得に失敗しました。\nError : EnumPrinters\n\nプログラムを終了します。"

enum { PUMP_STEP = 100, LANGUAGE_MONITOR_CODE = 302 };

static const DWORD BIDI = PRINTER_ATTRIBUTE_ENABLE_BIDI;

static std::vector<std::wstring> AlertTexts() {
  std::vector<std::wstring> texts;
  for (const Alert& alert : shownAlerts) texts.push_back(alert.text);
  return texts;
}

class InquiryTest : public RequestTest {
 protected:
  // A record the language monitor has written to, so the inquiry's own writes show.
  void Connect(const WCHAR* driver, DWORD attributes) {
    printer = InstallDefaultPrinter(driver, attributes);
    SetSharedLong(CB_STATUS_CODE, LANGUAGE_MONITOR_CODE);
    monitorState->statusCode = monitorState->previousCode = LANGUAGE_MONITOR_CODE;
  }
  void ExpectNothingSent() {
    EXPECT_TRUE(CallsOf(SPOOL_START_DOC).empty());
    EXPECT_EQ(LANGUAGE_MONITOR_CODE, SharedLong(CB_STATUS_CODE));
    EXPECT_EQ(LANGUAGE_MONITOR_CODE, monitorState->statusCode);
  }
  int printer = -1;
};

struct DriverCase {
  const WCHAR* driver;
  const WCHAR* document;
};

class InquiryJobTest : public InquiryTest, public ::testing::WithParamInterface<DriverCase> {};

TEST_P(InquiryJobTest, EmptyQueueGetsOneRawJobOfZeroBytes) {
  Connect(GetParam().driver, BIDI);
  printerStatus = PRINTER_STATUS_PAPER_OUT;  // only offline and not-available keep the job back
  EXPECT_EQ(INQUIRY_SILENT, StatusInquiry());

  EXPECT_TRUE(shownAlerts.empty());
  ASSERT_EQ(1, SpoolerJobCount(printer));
  SpoolJob job;
  ASSERT_TRUE(SpoolerGetJob(printer, 0, &job));
  EXPECT_STREQ(GetParam().document, job.document);
  EXPECT_STREQ(L"RAW", job.datatype);
  EXPECT_TRUE(job.complete);
  ASSERT_EQ((DWORD)CB_INQUIRY_JOB_BYTES, job.bytes);
  for (int i = 0; i < CB_INQUIRY_JOB_BYTES; i++) EXPECT_EQ(0, job.data[i]) << "byte " << i;
  std::vector<SpoolCall> opens = CallsOf(SPOOL_OPEN_PRINTER);
  ASSERT_EQ(1u, opens.size());
  EXPECT_EQ(0u, opens[0].arguments[0]) << "opened without defaults";

  EXPECT_EQ(INQUIRY_STATUS_PENDING, SharedLong(CB_STATUS_CODE));
  EXPECT_EQ(INQUIRY_STATUS_PENDING, monitorState->statusCode);
  EXPECT_EQ(INQUIRY_STATUS_PENDING, monitorState->previousCode);
  EXPECT_EQ((unsigned)INQUIRY_PUMP_STEPS, pauseCount);
  EXPECT_EQ((unsigned long long)INQUIRY_PUMP_STEPS * PUMP_STEP, pausedMilliseconds);
  EXPECT_EQ(0, inquiryRunning);
}

INSTANTIATE_TEST_SUITE_P(Drivers, InquiryJobTest, ::testing::Values(
    DriverCase{DRIVER_KR470, L"QATOLMWindow-Dummy"}, DriverCase{DRIVER_DUMMY, L"QAxxLMWindow-Dummy"}));

struct BusyCase {
  const char* what;
  const WCHAR* document;  // NULL: none
  DWORD status;
  bool ownDocument;  // the inquiry's own document name instead
};

class InquiryBusyTest : public InquiryTest, public ::testing::WithParamInterface<BusyCase> {};

TEST_P(InquiryBusyTest, QueuedJobMeansWaitingAndNoNewJob) {
  Connect(DRIVER_KR470, BIDI);
  const WCHAR* document = GetParam().ownDocument ? dummyDocumentName : GetParam().document;
  SpoolerAddJob(printer, document, L"someone", GetParam().status);
  EXPECT_EQ(INQUIRY_SILENT, StatusInquiry());

  EXPECT_TRUE(shownAlerts.empty());
  EXPECT_EQ(1, SpoolerJobCount(printer));
  ExpectNothingSent();
  EXPECT_EQ((unsigned long long)INQUIRY_WAIT_MILLISECONDS + INQUIRY_PUMP_STEPS * PUMP_STEP, pausedMilliseconds);
  EXPECT_EQ(1u + INQUIRY_PUMP_STEPS, pauseCount);
}

INSTANTIATE_TEST_SUITE_P(Queues, InquiryBusyTest, ::testing::Values(
    BusyCase{"waiting", L"report", 0, false},
    BusyCase{"printing", L"report", JOB_STATUS_PRINTING, false},
    BusyCase{"printed", L"report", JOB_STATUS_PRINTED, false},
    BusyCase{"paused", L"report", JOB_STATUS_PAUSED, false},
    BusyCase{"no_document_name", NULL, JOB_STATUS_ERROR, false},
    BusyCase{"previous_inquiry", NULL, 0, true}),
    [](const ::testing::TestParamInfo<BusyCase>& info) { return std::string(info.param.what); });

TEST_F(InquiryTest, RepeatedInquiryFindsItsOwnJob) {
  Connect(DRIVER_KR470, BIDI);
  EXPECT_EQ(INQUIRY_SILENT, StatusInquiry());
  EXPECT_EQ(INQUIRY_SILENT, StatusInquiry());
  EXPECT_EQ(1, SpoolerJobCount(printer));
  EXPECT_EQ(1u, CallsOf(SPOOL_START_DOC).size());
}

struct SettingsCase {
  const char* what;
  DWORD attributes;
  DWORD status;
  const WCHAR* text;
};

class InquirySettingsTest : public InquiryTest, public ::testing::WithParamInterface<SettingsCase> {};

// The first failing check explains itself alone, after clearing the record's status.
TEST_P(InquirySettingsTest, WrongSettingIsExplained) {
  Connect(DRIVER_KR470, GetParam().attributes);
  SpoolerSetPrinterStatus(printer, GetParam().status, 0);
  printerStatus = PRINTER_STATUS_OFFLINE;  // the settings come first
  EXPECT_EQ(INQUIRY_EXPLAINED, StatusInquiry());

  EXPECT_EQ(std::vector<std::wstring>{GetParam().text}, AlertTexts());
  EXPECT_EQ(INQUIRY_STATUS_CLEARED, SharedLong(CB_STATUS_CODE));
  EXPECT_TRUE(CallsOf(SPOOL_ENUM_JOBS).empty());
  EXPECT_TRUE(CallsOf(SPOOL_START_DOC).empty());
  EXPECT_EQ(1u, CallsOf(SPOOL_CLOSE_PRINTER).size());
}

INSTANTIATE_TEST_SUITE_P(Settings, InquirySettingsTest, ::testing::Values(
    SettingsCase{"bidi_off", 0, 0, TEXT_BIDI_OFF},
    SettingsCase{"bidi_off_and_paused", PRINTER_ATTRIBUTE_WORK_OFFLINE, PRINTER_STATUS_PAUSED, TEXT_BIDI_OFF},
    SettingsCase{"paused", BIDI | PRINTER_ATTRIBUTE_WORK_OFFLINE, PRINTER_STATUS_PAUSED, TEXT_PAUSED},
    SettingsCase{"work_offline", BIDI | PRINTER_ATTRIBUTE_WORK_OFFLINE, 0, TEXT_WORK_OFFLINE}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.what); });

class InquiryUnreachableTest : public InquiryTest, public ::testing::WithParamInterface<DWORD> {};

TEST_P(InquiryUnreachableTest, UnreachablePrinterIsPassedOverSilently) {
  Connect(DRIVER_KR470, BIDI);
  printerStatus = GetParam();
  EXPECT_EQ(INQUIRY_SILENT, StatusInquiry());
  EXPECT_TRUE(shownAlerts.empty());
  EXPECT_TRUE(CallsOf(SPOOL_ENUM_JOBS).empty());
  ExpectNothingSent();
  EXPECT_EQ(0u, pauseCount);
}

INSTANTIATE_TEST_SUITE_P(Status, InquiryUnreachableTest,
                         ::testing::Values((DWORD)PRINTER_STATUS_OFFLINE, (DWORD)PRINTER_STATUS_NOT_AVAILABLE));

TEST_F(InquiryTest, NoJobBeforeTheModelIsKnown) {
  Connect(DRIVER_KR470, BIDI);
  const WCHAR* known = dummyDocumentName;
  dummyDocumentName = NULL;
  int result = StatusInquiry();
  dummyDocumentName = known;
  EXPECT_EQ(INQUIRY_SILENT, result);
  EXPECT_TRUE(shownAlerts.empty());
  ExpectNothingSent();
}

TEST_F(InquiryTest, RunningInquiryIsNotEntered) {
  Connect(DRIVER_KR470, BIDI);
  inquiryRunning = 1;
  EXPECT_EQ(INQUIRY_SILENT, StatusInquiry());
  EXPECT_EQ(1, inquiryRunning) << "the outer inquiry still runs";
  EXPECT_TRUE(CallsOf(SPOOL_ENUM_PRINTERS).empty());
  EXPECT_TRUE(shownAlerts.empty());
}

struct SpoolerFailureCase {
  const char* what;
  SpoolFunction function;
  int result;
  const WCHAR* text;  // NULL: no box
};

class InquiryFailureTest : public InquiryTest, public ::testing::WithParamInterface<SpoolerFailureCase> {};

TEST_P(InquiryFailureTest, SpoolerFailure) {
  Connect(DRIVER_KR470, BIDI);
  SpoolerFail(GetParam().function, ERROR_ACCESS_DENIED, -1);
  EXPECT_EQ(GetParam().result, StatusInquiry());
  std::vector<std::wstring> expected;
  if (GetParam().text) expected.push_back(GetParam().text);
  EXPECT_EQ(expected, AlertTexts());
  EXPECT_EQ(0, inquiryRunning);
}

INSTANTIATE_TEST_SUITE_P(Spooler, InquiryFailureTest, ::testing::Values(
    SpoolerFailureCase{"enum_printers", SPOOL_ENUM_PRINTERS, INQUIRY_FATAL, TEXT_ENUM_PRINTERS_FAILED},
    SpoolerFailureCase{"open_printer", SPOOL_OPEN_PRINTER, INQUIRY_FATAL, TEXT_OPEN_FAILED},
    SpoolerFailureCase{"enum_jobs", SPOOL_ENUM_JOBS, INQUIRY_FATAL, TEXT_ENUM_JOBS_FAILED},
    SpoolerFailureCase{"start_doc", SPOOL_START_DOC, INQUIRY_FATAL, TEXT_START_DOC_FAILED},
    SpoolerFailureCase{"write_printer", SPOOL_WRITE_PRINTER, INQUIRY_SILENT, NULL},
    SpoolerFailureCase{"end_doc", SPOOL_END_DOC, INQUIRY_SILENT, NULL},
    SpoolerFailureCase{"close_printer", SPOOL_CLOSE_PRINTER, INQUIRY_SILENT, NULL}),
    [](const ::testing::TestParamInfo<SpoolerFailureCase>& info) { return std::string(info.param.what); });

struct ListedPrinter {
  const WCHAR* name;
  const WCHAR* driver;
  const WCHAR* port;
};

struct WalkCase {
  const char* what;
  std::vector<ListedPrinter> printers;
  const WCHAR* defaultPrinter;  // NULL: no default in the profile
  int result;
  const WCHAR* text;
};

class InquiryWalkTest : public InquiryTest, public ::testing::WithParamInterface<WalkCase> {};

// The printer list decides before any printer is opened.
TEST_P(InquiryWalkTest, PrinterListIsExplained) {
  Connect(DRIVER_KR470, BIDI);
  SpoolerReset();
  for (const ListedPrinter& listed : GetParam().printers)
    SpoolerAddPrinter(listed.name, listed.driver, listed.port, BIDI);
  SpoolerSetDefaultPrinter(GetParam().defaultPrinter);
  EXPECT_EQ(GetParam().result, StatusInquiry());
  EXPECT_EQ(std::vector<std::wstring>{GetParam().text}, AlertTexts());
  EXPECT_TRUE(CallsOf(SPOOL_OPEN_PRINTER).empty());
}

INSTANTIATE_TEST_SUITE_P(Lists, InquiryWalkTest, ::testing::Values(
    WalkCase{"no_printers", {}, NULL, INQUIRY_FATAL, TEXT_NOT_FOUND},
    WalkCase{"no_supported_driver", {{L"Office", L"Generic Text", L"LPT1:"}, {L"Nameless", NULL, L"LPT2:"}},
             L"Office", INQUIRY_FATAL, TEXT_NOT_FOUND},
    WalkCase{"another_default", {{L"Office", L"Generic Text", L"LPT1:"}, {TEST_PRINTER, DRIVER_KR470, L"USB001"}},
             L"Office", INQUIRY_EXPLAINED, TEXT_NOT_DEFAULT},
    WalkCase{"no_default", {{TEST_PRINTER, DRIVER_DUMMY, L"USB001"}}, NULL, INQUIRY_EXPLAINED, TEXT_NOT_DEFAULT},
    WalkCase{"default_differs_in_case", {{TEST_PRINTER, DRIVER_KR470, L"USB001"}}, L"kr-470 label",
             INQUIRY_EXPLAINED, TEXT_NOT_DEFAULT},
    WalkCase{"supported_without_name", {{NULL, DRIVER_KR470, L"USB001"}, {L"Office", NULL, L"LPT1:"}},
             L"Office", INQUIRY_EXPLAINED, TEXT_NOT_DEFAULT},
    WalkCase{"default_on_file_port", {{TEST_PRINTER, DRIVER_KR470, L"FILE:"}}, TEST_PRINTER,
             INQUIRY_EXPLAINED, TEXT_WRONG_PORT},
    WalkCase{"default_without_port", {{TEST_PRINTER, DRIVER_KR470, NULL}}, TEST_PRINTER,
             INQUIRY_EXPLAINED, TEXT_WRONG_PORT}),
    [](const ::testing::TestParamInfo<WalkCase>& info) { return std::string(info.param.what); });
