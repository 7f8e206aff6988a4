// Set-up shared by the operator-request tests.
#include "request_fixture.h"

void RequestTest::SetUp() {
  ResetSeams();
  SpoolerReset();
  ASSERT_EQ(STATE_READY, AllocMonitorState());
  printerStatus = 0;
  inquiryRunning = 0;
}

void RequestTest::TearDown() {
  CloseConnectionBlock();
  FreeMonitorState();
  EXPECT_EQ(0, SpoolerOpenHandles()) << "a printer handle was left open";
  SpoolerReset();
}

void OpenRecord(int slot) {
  InstanceMutexName names;
  SelectNameSet(slot, &names);
  ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());
}

int InstallDefaultPrinter(const WCHAR* driver, DWORD attributes) {
  int printer = SpoolerAddPrinter(TEST_PRINTER, driver, TEST_PORT, attributes);
  SpoolerSetDefaultPrinter(TEST_PRINTER);
  int enumResult;
  EXPECT_TRUE(FindSupportedPrinter(&enumResult));
  OpenRecord(ModelSlot);
  SpoolerClearLog();
  return printer;
}

LONG SharedLong(DWORD offset) {
  return BlockLong(sharedView, offset);
}

void SetSharedLong(DWORD offset, LONG value) {
  SetBlockLong(sharedView, offset, value);
}

void SetSharedDocument(const char* name) {
  lstrcpynA((char*)sharedView + CB_DOCUMENT_NAME, name, CB_DOCUMENT_NAME_SIZE);
}

std::vector<SpoolCall> CallsOf(SpoolFunction function) {
  std::vector<SpoolCall> calls;
  SpoolCall call;
  for (LONG i = 0; SpoolerGetCall(i, &call); i++)
    if (call.function == function) calls.push_back(call);
  return calls;
}
