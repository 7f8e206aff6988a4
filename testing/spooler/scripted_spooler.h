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
  SPOOL_MAX_HANDLES = 32,  // printer handles one process may hold open at once
};

// Marks a state that has been set up; a mapping without it is reset on first use.
#define SPOOLER_STATE_MAGIC 0x4C4F5053u  // "SPOL"

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

// What SpoolCall.arguments holds for each function (unused slots are 0):
//   SPOOL_ENUM_PRINTERS  level, flags, cbBuf, bytes needed
//   SPOOL_OPEN_PRINTER   1 if defaults were given
//   SPOOL_GET_PRINTER    level, cbBuf, bytes needed
//   SPOOL_ENUM_JOBS      level, first job, number of jobs, cbBuf
//   SPOOL_START_DOC      level, job id
//   SPOOL_WRITE_PRINTER  cbBuf, bytes written, job id
//   SPOOL_END_DOC        job id
//   SPOOL_CLOSE_PRINTER  -
// The printer is the name given (EnumPrinters, OpenPrinter) or the handle's.
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

// C linkage so that the DLL exports the control functions under plain names
// too: a test or tool may steer the shared state through GetProcAddress.
#ifdef __cplusplus
extern "C" {
#endif

// Access to the state; every change is made between Lock and Unlock.
SpoolerState* SpoolerLock(void);
void SpoolerUnlock(void);
// For code that holds the lock: the printer of that name (not case-sensitive)
// or NULL, and the number of jobs in a printer's queue.
SpoolPrinter* SpoolerPrinterNamed(SpoolerState* state, const WCHAR* name);
int SpoolerQueueLength(const SpoolPrinter* printer);

// Convenience for tests and tools (each locks by itself).
void SpoolerReset(void);  // no printers, no failures, empty log
int SpoolerAddPrinter(const WCHAR* name, const WCHAR* driver, const WCHAR* port,
                      DWORD attributes);  // index, or -1 when full; NULL leaves the field missing
int SpoolerFindPrinter(const WCHAR* name);  // index or -1
void SpoolerSetPrinterStatus(int printer, DWORD status, DWORD status6);
void SpoolerSetAttributes(int printer, DWORD attributes);
void SpoolerSetJobCount(int printer, LONG jobCount);
// A complete RAW job at the end of the queue: its id, or 0 when the queue is
// full. A NULL document or user is missing (NULL) in the job list.
DWORD SpoolerAddJob(int printer, const WCHAR* document, const WCHAR* user, DWORD status);
BOOL SpoolerRemoveJob(int printer, DWORD jobId);
int SpoolerJobCount(int printer);  // jobs in the queue
BOOL SpoolerGetJob(int printer, int position, SpoolJob* job);
BOOL SpoolerSetJobStatus(int printer, DWORD jobId, DWORD status);  // FALSE: no such job
// The next `calls` calls of the function after `skip` successful ones fail with
// `error`; calls -1 fails for ever, calls 0 removes the failure.
void SpoolerFail(SpoolFunction function, DWORD error, LONG calls, LONG skip = 0);
void SpoolerClearLog(void);
LONG SpoolerCallCount(SpoolFunction function);  // among the logged calls
BOOL SpoolerGetCall(LONG index, SpoolCall* call);  // index among all calls ever; FALSE when gone

// The default printer of the profile ("windows", "device" = "name,winspool,port").
// NULL removes the entry. Returns WriteProfileStringW's result.
BOOL SpoolerSetDefaultPrinter(const WCHAR* name);

// Printer handles are local to the process that opened them.
int SpoolerOpenHandles(void);     // handles of this process not yet closed
void SpoolerForgetHandles(void);  // drops them all (SpoolerReset does this too)

#ifdef __cplusplus
}
#endif
