// Set-up shared by the operator-request tests: seams, the scripted spooler, the shared record and the window state.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "app/app.h"
#include "connection/connection.h"
#include "printers/printers.h"
#include "requests/requests.h"
#include "spooler/scripted_spooler.h"
#include "status/status.h"
#include "support.h"

#define TEST_PRINTER L"KR-470 Label"
#define TEST_PORT L"USB001"

class RequestTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Adds the printer, makes it the default, identifies the model as a refresh
// would, and sets up the record under that model's names. Returns the printer's index.
int InstallDefaultPrinter(const WCHAR* driver, DWORD attributes);
// The record under the names of a model slot, as start-up makes it.
void OpenRecord(int slot);

// The language monitor's side of the record, written without the mutex: tests only.
LONG SharedLong(DWORD offset);
void SetSharedLong(DWORD offset, LONG value);
void SetSharedDocument(const char* name);

// The logged spooler calls of one function, oldest first.
std::vector<SpoolCall> CallsOf(SpoolFunction function);
