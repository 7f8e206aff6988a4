// Searching a printer's queue one job at a time.
#include "request_fixture.h"

#define DUMMY_DOCUMENT L"QATOLMWindow-Dummy"

class QueueTest : public RequestTest {
 protected:
  void SetUp() override {
    RequestTest::SetUp();
    index = SpoolerAddPrinter(TEST_PRINTER, DRIVER_KR470, TEST_PORT, PRINTER_ATTRIBUTE_ENABLE_BIDI);
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(TEST_PRINTER), &printer, NULL));
    SpoolerClearLog();
  }
  void TearDown() override {
    ClosePrinter(printer);
    RequestTest::TearDown();
  }
  // The queue positions asked for, in order; each call must ask for one job at level 1.
  std::vector<DWORD> PositionsAsked() {
    std::vector<DWORD> positions;
    for (const SpoolCall& call : CallsOf(SPOOL_ENUM_JOBS)) {
      EXPECT_EQ(1u, call.arguments[0]) << "level";
      EXPECT_EQ(1u, call.arguments[2]) << "jobs per call";
      if (positions.empty() || positions.back() != call.arguments[1]) positions.push_back(call.arguments[1]);
    }
    return positions;
  }
  int index = -1;
  HANDLE printer = NULL;
};

TEST_F(QueueTest, MissingArgumentsAreUnreadable) {
  EXPECT_EQ(QUEUE_UNREADABLE, FindQueuedJob(NULL, DUMMY_DOCUMENT));
  EXPECT_EQ(QUEUE_UNREADABLE, FindQueuedJob(printer, NULL));
  EXPECT_TRUE(CallsOf(SPOOL_ENUM_JOBS).empty());
}

TEST_F(QueueTest, EmptyQueueIsEmptyAfterOneLook) {
  EXPECT_EQ(QUEUE_EMPTY, FindQueuedJob(printer, DUMMY_DOCUMENT));
  EXPECT_EQ(std::vector<DWORD>{0}, PositionsAsked());
}

struct QueueCase {
  const char* what;
  std::vector<std::pair<const WCHAR*, DWORD>> jobs;  // document (NULL: none), status
  std::vector<DWORD> positions;                      // positions the search looks at
};

class QueueWalkTest : public QueueTest, public ::testing::WithParamInterface<QueueCase> {};

// Any job makes the queue busy; the walk stops early only at our own
// document or at a job being printed, and passes over jobs on their way out.
TEST_P(QueueWalkTest, AnyJobHoldsTheQueue) {
  for (const auto& job : GetParam().jobs) ASSERT_NE(0u, SpoolerAddJob(index, job.first, L"someone", job.second));
  EXPECT_EQ(QUEUE_HOLDS_JOB, FindQueuedJob(printer, DUMMY_DOCUMENT));
  EXPECT_EQ(GetParam().positions, PositionsAsked());
}

INSTANTIATE_TEST_SUITE_P(Queues, QueueWalkTest, ::testing::Values(
    QueueCase{"waiting", {{L"report", 0}}, {0, 1}},
    QueueCase{"printing", {{L"report", JOB_STATUS_PRINTING}}, {0}},
    QueueCase{"printed", {{L"report", JOB_STATUS_PRINTED}}, {0, 1}},
    QueueCase{"deleting_while_printing", {{L"report", JOB_STATUS_DELETING | JOB_STATUS_PRINTING}}, {0, 1}},
    QueueCase{"deleted_while_printing", {{L"report", JOB_STATUS_DELETED | JOB_STATUS_PRINTING}}, {0, 1}},
    QueueCase{"no_document_name", {{NULL, 0}, {NULL, JOB_STATUS_PRINTING}}, {0, 1}},
    QueueCase{"own_printed_job", {{DUMMY_DOCUMENT, JOB_STATUS_PRINTED}, {L"later", 0}}, {0}},
    QueueCase{"printing_behind_others", {{L"a", JOB_STATUS_PRINTED}, {L"b", 0}, {L"c", JOB_STATUS_PRINTING}, {L"d", 0}}, {0, 1, 2}}),
    [](const ::testing::TestParamInfo<QueueCase>& info) { return std::string(info.param.what); });

TEST_F(QueueTest, BufferGrowsToWhatTheSpoolerAsksFor) {
  SpoolerAddJob(index, L"report", L"someone", 0);
  SpoolerAddJob(index, L"a much longer document name than the first one", L"someone", 0);
  EXPECT_EQ(QUEUE_HOLDS_JOB, FindQueuedJob(printer, DUMMY_DOCUMENT));
  std::vector<SpoolCall> calls = CallsOf(SPOOL_ENUM_JOBS);
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(0u, calls[0].arguments[3]) << "the first call has no buffer";
  EXPECT_FALSE(calls[0].result);
  EXPECT_EQ(0u, calls[1].arguments[1]) << "the same position again";
  EXPECT_TRUE(calls[1].result);
  EXPECT_GT(calls[1].arguments[3], 0u);
}

struct FailureCase {
  const char* what;
  DWORD error;
  LONG skip;  // successful calls before the failure
};

class QueueFailureTest : public QueueTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(QueueFailureTest, UnreadableQueue) {
  SpoolerAddJob(index, L"report", L"someone", 0);
  SpoolerAddJob(index, L"other", L"someone", 0);
  SpoolerFail(SPOOL_ENUM_JOBS, GetParam().error, -1, GetParam().skip);
  EXPECT_EQ(QUEUE_UNREADABLE, FindQueuedJob(printer, DUMMY_DOCUMENT));
  // A failure must end the search, not repeat it.
  EXPECT_EQ((size_t)GetParam().skip + 1, CallsOf(SPOOL_ENUM_JOBS).size());
}

INSTANTIATE_TEST_SUITE_P(Failures, QueueFailureTest, ::testing::Values(
    FailureCase{"at_once", ERROR_ACCESS_DENIED, 0},
    FailureCase{"on_a_later_job", ERROR_INVALID_HANDLE, 3},
    // Asking for more without saying how much would loop for ever.
    FailureCase{"too_small_without_a_size", ERROR_INSUFFICIENT_BUFFER, 0}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.what); });
