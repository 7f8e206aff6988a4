// The scripted spooler: our own implementation of the winspool functions the
// monitor calls, with printers, job queues, injected failures and a call log.
// Unit tests link it in place of the system's winspool; the DLL build
// (winspool.drv) keeps its state in a named mapping so a controlling process
// sees and changes what the monitor under test sees.
#pragma once
#include <windows.h>

enum {
  SPOOL_MAX_PRINTERS = 8,
  SPOOL_MAX_JOBS = 16,
  SPOOL_TEXT_UNITS = 128,
  SPOOL_JOB_DATA = 64,  // bytes of each job's data kept for inspection
  SPOOL_LOG_SIZE = 512,
};

// The functions that can be made to fail and that the log names.
enum SpoolFunction {
  SPOOL_ENUM_PRINTERS,
  SPOOL_OPEN_PRINTER,
  SPOOL_GET_PRINTER,
  SPOOL_ENUM_JOBS,
  SPOOL_START_DOC,
  SPOOL_WRITE_PRINTER,
  SPOOL_END_DOC,
  SPOOL_CLOSE_PRINTER,
  SPOOL_FUNCTION_COUNT
};

struct SpoolJob {
  DWORD id;            // 0: slot unused
  BOOL hasDocument;    // FALSE: pDocument is NULL
  WCHAR document[SPOOL_TEXT_UNITS];
  WCHAR user[SPOOL_TEXT_UNITS];
  WCHAR datatype[16];
  DWORD status;        // JOB_STATUS_*
  DWORD bytes;         // bytes written so far
  BYTE data[SPOOL_JOB_DATA];
  BOOL complete;       // EndDocPrinter seen (or added complete by a script)
};

struct SpoolPrinter {
  BOOL used;
  BOOL hasName, hasDriver, hasPort;  // FALSE: that field is NULL in the list
  WCHAR name[SPOOL_TEXT_UNITS];
  WCHAR driver[SPOOL_TEXT_UNITS];
  WCHAR port[SPOOL_TEXT_UNITS];
  DWORD attributes;    // PRINTER_INFO_2 Attributes
  DWORD status;        // PRINTER_INFO_2 Status
  DWORD status6;       // PRINTER_INFO_6 dwStatus
  LONG jobCount;       // cJobs as reported; -1: the number of queued jobs
  SpoolJob jobs[SPOOL_MAX_JOBS];  // in queue order; a removed job closes the gap
};

struct SpoolFailure {
  DWORD error;         // SetLastError value of a failing call
  LONG skip;           // calls that succeed before the failures start
  LONG remaining;      // failing calls still to come; -1: for ever
};

struct SpoolCall {
  LONG function;       // SpoolFunction
  WCHAR printer[64];   // printer name the call concerned, if any
  DWORD arguments[4];  // level, first job, counts, sizes: per function
  BOOL result;
  DWORD error;
};

struct SpoolerState {
  DWORD magic;
  DWORD nextJobId;
  SpoolPrinter printers[SPOOL_MAX_PRINTERS];
  SpoolFailure failures[SPOOL_FUNCTION_COUNT];
  LONG callCount;      // all calls ever logged; the log keeps the last SPOOL_LOG_SIZE
  SpoolCall calls[SPOOL_LOG_SIZE];
};

// Name of the mapping that holds the state in the DLL build.
#define SPOOLER_STATE_MAPPING L"Local\\KR470ScriptedSpoolerState"
#define SPOOLER_STATE_MUTEX L"Local\\KR470ScriptedSpoolerLock"

// Access to the state; every change is made between Lock and Unlock.
SpoolerState* SpoolerLock(void);
void SpoolerUnlock(void);

// Convenience for tests and tools (each locks by itself).
void SpoolerReset(void);  // no printers, no failures, empty log
int SpoolerAddPrinter(const WCHAR* name, const WCHAR* driver, const WCHAR* port,
                      DWORD attributes);  // index, or -1 when full; NULL leaves the field missing
int SpoolerFindPrinter(const WCHAR* name);  // index or -1
void SpoolerSetPrinterStatus(int printer, DWORD status, DWORD status6);
void SpoolerSetAttributes(int printer, DWORD attributes);
void SpoolerSetJobCount(int printer, LONG jobCount);
DWORD SpoolerAddJob(int printer, const WCHAR* document, const WCHAR* user, DWORD status);  // job id
BOOL SpoolerRemoveJob(int printer, DWORD jobId);
int SpoolerJobCount(int printer);  // jobs in the queue
BOOL SpoolerGetJob(int printer, int position, SpoolJob* job);
void SpoolerFail(SpoolFunction function, DWORD error, LONG calls, LONG skip = 0);
void SpoolerClearLog(void);
LONG SpoolerCallCount(SpoolFunction function);  // among the logged calls
BOOL SpoolerGetCall(LONG index, SpoolCall* call);  // index among all calls ever; FALSE when gone

// The default printer of the profile ("windows", "device" = "name,winspool,port").
// NULL removes the entry. Returns WriteProfileStringW's result.
BOOL SpoolerSetDefaultPrinter(const WCHAR* name);
