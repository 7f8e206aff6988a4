// A status window, a shared record and a scripted printer, as the refresh and the tick meet them.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include "app/app.h"
#include "connection/connection.h"
#include "printers/printers.h"
#include "spooler/scripted_spooler.h"
#include "status/status.h"
#include "support.h"
#include "window/window.h"

#define TEST_PRINTER L"KR-470 Label"
#define TEST_PORT L"USB001"
#define OTHER_PRINTER L"Office Laser"
#define DUMMY_PRINTER L"KR-Dmy Label"

// What the window heard that the tests care about.
struct DialogLog {
  int destroys;    // WM_DESTROY
  int minimises;   // WM_SIZE with SIZE_MINIMIZED
};
extern DialogLog dialogLog;

class StatusWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND window = NULL;
  MonitorState* state = NULL;
  int printer = -1;  // the default printer, a supported one
};

// The language monitor's writes into the shared view.
void SetSharedLong(DWORD offset, LONG value);
void SetSharedBytes(DWORD offset, const char* bytes, int length);
// A terminated text, as a well-behaved writer leaves it.
void SetSharedText(DWORD offset, const char* text);

std::wstring ControlText(HWND window, int id);
std::wstring WindowTitle(HWND window);
// Removes the surfacing requests the tick posted; returns how many there were.
int TakeSurfacingRequests(HWND window);
// The text up to its first line break.
std::wstring Head(const WCHAR* message);
// The icon handle a resource id loads to (shared icons load to the same handle).
HICON IconOf(WORD id);

// A thread that holds the mapping mutex the way the language monitor would.
struct MutexHolder {
  HANDLE thread, held, release;
};
BOOL HoldMappingMutex(MutexHolder* holder);
void ReleaseMappingMutex(MutexHolder* holder);
