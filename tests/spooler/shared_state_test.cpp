// The DLL build keeps the spooler's state where a second process sees it: the
// controlling test and the monitor under test must agree on printers and jobs.
#include "spooler/scripted_spooler.h"
#include <winspool.h>
#include <gtest/gtest.h>
#include <vector>

#define SHARED_PRINTER L"Shared KR-470"
#define CHILD_DOCUMENT L"from the other process"
#define CHILD_TEST L"SharedSpoolerState.DISABLED_OtherProcessSubmitsAJob"
enum { CHILD_TIMEOUT_MS = 60000, PATH_UNITS = 1024 };

// The DLL sits in the build's bin folder, beside the monitor; test programs
// are one folder down from the build.
static HMODULE LoadSpoolerDll(void) {
  WCHAR path[PATH_UNITS];
  DWORD length = GetModuleFileNameW(NULL, path, PATH_UNITS);
  while (length > 0 && path[length - 1] != L'\\') length--;
  path[length] = L'\0';
  lstrcatW(path, L"..\\bin\\winspool.drv");
  return LoadLibraryW(path);
}

// The DLL's own export of a function that this program also links in-process.
template <typename Function>
static Function Export(HMODULE dll, const char* name, Function) {
  return (Function)(void*)GetProcAddress(dll, name);
}
#define DLL_FUNCTION(dll, name) Export(dll, #name, &name)

TEST(SharedSpoolerState, AnotherProcessSeesAndChangesTheSameState) {
  HMODULE dll = LoadSpoolerDll();
  ASSERT_NE(nullptr, dll);
  auto reset = DLL_FUNCTION(dll, SpoolerReset);
  auto addPrinter = DLL_FUNCTION(dll, SpoolerAddPrinter);
  auto getJob = DLL_FUNCTION(dll, SpoolerGetJob);
  auto callCount = DLL_FUNCTION(dll, SpoolerCallCount);
  ASSERT_TRUE(reset && addPrinter && getJob && callCount);
  reset();
  int printer = addPrinter(SHARED_PRINTER, L"NRV KR-470 Raster", L"USB001", 0);

  WCHAR command[PATH_UNITS + 128];
  GetModuleFileNameW(NULL, command, PATH_UNITS);
  lstrcatW(command, L" --gtest_also_run_disabled_tests --gtest_filter=" CHILD_TEST);
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  ASSERT_TRUE(CreateProcessW(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &child));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.hProcess, CHILD_TIMEOUT_MS));
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeProcess(child.hProcess, &exitCode);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  EXPECT_EQ(0u, exitCode);

  SpoolJob job = {};
  ASSERT_TRUE(getJob(printer, 0, &job));
  EXPECT_STREQ(CHILD_DOCUMENT, job.document);
  EXPECT_EQ(3u, job.bytes);
  EXPECT_TRUE(job.complete);
  EXPECT_EQ(2, callCount(SPOOL_ENUM_PRINTERS));  // the other process's calls are in our log
  FreeLibrary(dll);
}

// Run only by the test above, in a process of its own.
TEST(SharedSpoolerState, DISABLED_OtherProcessSubmitsAJob) {
  HMODULE dll = LoadSpoolerDll();
  ASSERT_NE(nullptr, dll);
  auto enumPrinters = DLL_FUNCTION(dll, EnumPrintersW);
  auto openPrinter = DLL_FUNCTION(dll, OpenPrinterW);
  auto startDoc = DLL_FUNCTION(dll, StartDocPrinterW);
  auto writePrinter = DLL_FUNCTION(dll, WritePrinter);
  auto endDoc = DLL_FUNCTION(dll, EndDocPrinter);
  auto closePrinter = DLL_FUNCTION(dll, ClosePrinter);
  ASSERT_TRUE(enumPrinters && openPrinter && startDoc && writePrinter && endDoc && closePrinter);

  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(enumPrinters(PRINTER_ENUM_LOCAL, NULL, 2, NULL, 0, &needed, &returned));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(enumPrinters(PRINTER_ENUM_LOCAL, NULL, 2, buffer.data(), needed, &needed, &returned));
  ASSERT_EQ(1u, returned);
  EXPECT_STREQ(SHARED_PRINTER, ((PRINTER_INFO_2W*)buffer.data())->pPrinterName);

  HANDLE printer = NULL;
  ASSERT_TRUE(openPrinter((LPWSTR)SHARED_PRINTER, &printer, NULL));
  DOC_INFO_1W document = {(LPWSTR)CHILD_DOCUMENT, NULL, (LPWSTR)L"RAW"};
  EXPECT_NE(0u, startDoc(printer, 1, (BYTE*)&document));
  BYTE data[3] = {1, 2, 3};
  DWORD written = 0;
  EXPECT_TRUE(writePrinter(printer, data, sizeof data, &written));
  EXPECT_TRUE(endDoc(printer));
  EXPECT_TRUE(closePrinter(printer));
  FreeLibrary(dll);
}
