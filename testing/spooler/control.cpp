// The scripted spooler's control side: tests and tools set up printers, jobs
// and failures and read the call log through these.
#include "spooler/scripted_spooler.h"

#define DEFAULT_PORT L"LPT1:"
#define RAW_DATATYPE L"RAW"
enum { DEVICE_ENTRY_UNITS = 3 * SPOOL_TEXT_UNITS + 16 };

static void CopyText(WCHAR* target, int units, const WCHAR* text) {
  lstrcpynW(target, text ? text : L"", units);
}

// The printer at an index that is in use, or NULL.
static SpoolPrinter* PrinterAt(SpoolerState* state, int printer) {
  if (printer < 0 || printer >= SPOOL_MAX_PRINTERS || !state->printers[printer].used) return NULL;
  return &state->printers[printer];
}

SpoolPrinter* SpoolerPrinterNamed(SpoolerState* state, const WCHAR* name) {
  for (int i = 0; i < SPOOL_MAX_PRINTERS && name; i++) {
    SpoolPrinter* printer = &state->printers[i];
    // Printer names are not case-sensitive in the spooler.
    if (printer->used && printer->hasName &&
        CompareStringOrdinal(printer->name, -1, name, -1, TRUE) == CSTR_EQUAL)
      return printer;
  }
  return NULL;
}

int SpoolerQueueLength(const SpoolPrinter* printer) {
  int length = 0;
  while (length < SPOOL_MAX_JOBS && printer->jobs[length].id) length++;
  return length;
}

int SpoolerAddPrinter(const WCHAR* name, const WCHAR* driver, const WCHAR* port, DWORD attributes) {
  SpoolerState* state = SpoolerLock();
  if (!state) return -1;
  int index = 0;
  while (index < SPOOL_MAX_PRINTERS && state->printers[index].used) index++;
  if (index < SPOOL_MAX_PRINTERS) {
    SpoolPrinter* printer = &state->printers[index];
    ZeroMemory(printer, sizeof *printer);
    printer->used = TRUE;
    printer->hasName = name != NULL;
    printer->hasDriver = driver != NULL;
    printer->hasPort = port != NULL;
    CopyText(printer->name, SPOOL_TEXT_UNITS, name);
    CopyText(printer->driver, SPOOL_TEXT_UNITS, driver);
    CopyText(printer->port, SPOOL_TEXT_UNITS, port);
    printer->attributes = attributes;
    printer->jobCount = -1;
  } else {
    index = -1;
  }
  SpoolerUnlock();
  return index;
}

int SpoolerFindPrinter(const WCHAR* name) {
  SpoolerState* state = SpoolerLock();
  if (!state) return -1;
  SpoolPrinter* printer = SpoolerPrinterNamed(state, name);
  int found = printer ? (int)(printer - state->printers) : -1;
  SpoolerUnlock();
  return found;
}

void SpoolerSetPrinterStatus(int printer, DWORD status, DWORD status6) {
  SpoolerState* state = SpoolerLock();
  if (!state) return;
  SpoolPrinter* entry = PrinterAt(state, printer);
  if (entry) {
    entry->status = status;
    entry->status6 = status6;
  }
  SpoolerUnlock();
}

void SpoolerSetAttributes(int printer, DWORD attributes) {
  SpoolerState* state = SpoolerLock();
  if (!state) return;
  SpoolPrinter* entry = PrinterAt(state, printer);
  if (entry) entry->attributes = attributes;
  SpoolerUnlock();
}

void SpoolerSetJobCount(int printer, LONG jobCount) {
  SpoolerState* state = SpoolerLock();
  if (!state) return;
  SpoolPrinter* entry = PrinterAt(state, printer);
  if (entry) entry->jobCount = jobCount;
  SpoolerUnlock();
}

DWORD SpoolerAddJob(int printer, const WCHAR* document, const WCHAR* user, DWORD status) {
  SpoolerState* state = SpoolerLock();
  if (!state) return 0;
  DWORD id = 0;
  SpoolPrinter* entry = PrinterAt(state, printer);
  int length = entry ? SpoolerQueueLength(entry) : SPOOL_MAX_JOBS;
  if (length < SPOOL_MAX_JOBS) {
    SpoolJob* job = &entry->jobs[length];
    ZeroMemory(job, sizeof *job);
    id = job->id = state->nextJobId++;
    job->hasDocument = document != NULL;
    CopyText(job->document, SPOOL_TEXT_UNITS, document);
    CopyText(job->user, SPOOL_TEXT_UNITS, user);
    CopyText(job->datatype, ARRAYSIZE(job->datatype), RAW_DATATYPE);
    job->status = status;
    job->complete = TRUE;
  }
  SpoolerUnlock();
  return id;
}

BOOL SpoolerRemoveJob(int printer, DWORD jobId) {
  SpoolerState* state = SpoolerLock();
  if (!state) return FALSE;
  BOOL removed = FALSE;
  SpoolPrinter* entry = PrinterAt(state, printer);
  int length = entry ? SpoolerQueueLength(entry) : 0;
  for (int i = 0; i < length && !removed && jobId; i++) {
    if (entry->jobs[i].id != jobId) continue;
    MoveMemory(&entry->jobs[i], &entry->jobs[i + 1], (length - i - 1) * sizeof entry->jobs[0]);
    ZeroMemory(&entry->jobs[length - 1], sizeof entry->jobs[0]);
    removed = TRUE;
  }
  SpoolerUnlock();
  return removed;
}

int SpoolerJobCount(int printer) {
  SpoolerState* state = SpoolerLock();
  if (!state) return 0;
  SpoolPrinter* entry = PrinterAt(state, printer);
  int length = entry ? SpoolerQueueLength(entry) : 0;
  SpoolerUnlock();
  return length;
}

BOOL SpoolerGetJob(int printer, int position, SpoolJob* job) {
  SpoolerState* state = SpoolerLock();
  if (!state) return FALSE;
  SpoolPrinter* entry = PrinterAt(state, printer);
  BOOL found = entry && job && position >= 0 && position < SpoolerQueueLength(entry);
  if (found) *job = entry->jobs[position];
  SpoolerUnlock();
  return found;
}

BOOL SpoolerSetJobStatus(int printer, DWORD jobId, DWORD status) {
  SpoolerState* state = SpoolerLock();
  if (!state) return FALSE;
  BOOL found = FALSE;
  SpoolPrinter* entry = PrinterAt(state, printer);
  int length = entry ? SpoolerQueueLength(entry) : 0;
  for (int i = 0; i < length && !found && jobId; i++) {
    if (entry->jobs[i].id != jobId) continue;
    entry->jobs[i].status = status;
    found = TRUE;
  }
  SpoolerUnlock();
  return found;
}

void SpoolerFail(SpoolFunction function, DWORD error, LONG calls, LONG skip) {
  if (function < 0 || function >= SPOOL_FUNCTION_COUNT) return;
  SpoolerState* state = SpoolerLock();
  if (!state) return;
  SpoolFailure* failure = &state->failures[function];
  failure->error = error;
  failure->remaining = calls;
  failure->skip = skip > 0 ? skip : 0;
  SpoolerUnlock();
}

void SpoolerClearLog(void) {
  SpoolerState* state = SpoolerLock();
  if (!state) return;
  state->callCount = 0;
  ZeroMemory(state->calls, sizeof state->calls);
  SpoolerUnlock();
}

LONG SpoolerCallCount(SpoolFunction function) {
  SpoolerState* state = SpoolerLock();
  if (!state) return 0;
  LONG limit = SPOOL_LOG_SIZE;
  LONG kept = state->callCount < limit ? state->callCount : limit;
  LONG count = 0;
  for (LONG i = 0; i < kept; i++)
    if (state->calls[i].function == function) count++;
  SpoolerUnlock();
  return count;
}

BOOL SpoolerGetCall(LONG index, SpoolCall* call) {
  SpoolerState* state = SpoolerLock();
  if (!state) return FALSE;
  BOOL kept = call && index >= 0 && index < state->callCount &&
              index >= state->callCount - SPOOL_LOG_SIZE;
  if (kept) *call = state->calls[index % SPOOL_LOG_SIZE];
  SpoolerUnlock();
  return kept;
}

BOOL SpoolerSetDefaultPrinter(const WCHAR* name) {
  if (!name) return WriteProfileStringW(L"windows", L"device", NULL);
  WCHAR port[SPOOL_TEXT_UNITS];
  lstrcpyW(port, DEFAULT_PORT);
  SpoolerState* state = SpoolerLock();
  if (state) {
    SpoolPrinter* printer = SpoolerPrinterNamed(state, name);
    if (printer && printer->hasPort) lstrcpyW(port, printer->port);
    SpoolerUnlock();
  }
  WCHAR entry[DEVICE_ENTRY_UNITS];
  lstrcpynW(entry, name, SPOOL_TEXT_UNITS);
  lstrcatW(entry, L",winspool,");
  lstrcatW(entry, port);
  return WriteProfileStringW(L"windows", L"device", entry);
}
