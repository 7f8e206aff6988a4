// The winspool functions the monitor calls, answered from the scripted
// spooler's printers and queues, failing where a test asked them to, and
// logging every call.
#include "spooler/scripted_spooler.h"
#include <winspool.h>

#define RAW_DATATYPE L"RAW"
#define PRINT_PROCESSOR L"winprint"
#define UNKNOWN_USER L"user"
enum { JOB_PRIORITY = 1 };
// EnumPrinters lists every printer for these; other kinds (network, shared) find none.
enum { LISTING_FLAGS = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS | PRINTER_ENUM_NAME };

struct SpoolHandle {
  BOOL used;
  WCHAR printer[SPOOL_TEXT_UNITS];
  DWORD job;  // the document started on this handle, 0 when none
};

// Open printer handles of this process; touched only under the state lock.
static SpoolHandle handles[SPOOL_MAX_HANDLES];

// Room for any one fixed entry, to measure a layout without a buffer.
union EntryScratch {
  PRINTER_INFO_2W info2;
  PRINTER_INFO_4W info4;
  PRINTER_INFO_5W info5;
  PRINTER_INFO_6 info6;
  JOB_INFO_1W job1;
};

// A result block as the real spooler lays it out: the fixed entries first,
// their texts after them. With no buffer the packer only counts bytes.
struct Packer {
  BYTE* buffer;
  DWORD offset;  // where the next text goes, or the bytes needed so far
};

static WCHAR* PackText(Packer* packer, const WCHAR* text) {
  if (!text) return NULL;
  DWORD bytes = (lstrlenW(text) + 1) * sizeof(WCHAR);
  WCHAR* placed = packer->buffer ? (WCHAR*)(packer->buffer + packer->offset) : NULL;
  if (placed) CopyMemory(placed, text, bytes);
  packer->offset += bytes;
  return placed;
}

// Bytes needed before the texts, or 0 (with the error) when they do not fit.
static DWORD CheckRoom(DWORD needed, const BYTE* buffer, DWORD size) {
  if (size < needed) return ERROR_INSUFFICIENT_BUFFER;
  if (!buffer && needed) return ERROR_INVALID_USER_BUFFER;
  return 0;
}

static DWORD PrinterEntrySize(DWORD level) {
  switch (level) {
    case 2: return sizeof(PRINTER_INFO_2W);
    case 4: return sizeof(PRINTER_INFO_4W);
    case 5: return sizeof(PRINTER_INFO_5W);
    case 6: return sizeof(PRINTER_INFO_6);
    default: return 0;
  }
}

static void PackPrinter(Packer* packer, const SpoolPrinter* printer, DWORD level, BYTE* entry) {
  const WCHAR* name = printer->hasName ? printer->name : NULL;
  const WCHAR* port = printer->hasPort ? printer->port : NULL;
  const WCHAR* driver = printer->hasDriver ? printer->driver : NULL;
  ZeroMemory(entry, PrinterEntrySize(level));
  if (level == 2) {
    PRINTER_INFO_2W* info = (PRINTER_INFO_2W*)entry;
    info->pPrinterName = PackText(packer, name);
    info->pPortName = PackText(packer, port);
    info->pDriverName = PackText(packer, driver);
    info->pPrintProcessor = PackText(packer, PRINT_PROCESSOR);
    info->pDatatype = PackText(packer, RAW_DATATYPE);
    info->Attributes = printer->attributes;
    info->Priority = JOB_PRIORITY;
    info->Status = printer->status;
    info->cJobs = printer->jobCount >= 0 ? (DWORD)printer->jobCount : SpoolerQueueLength(printer);
  } else if (level == 4) {
    PRINTER_INFO_4W* info = (PRINTER_INFO_4W*)entry;
    info->pPrinterName = PackText(packer, name);
    info->Attributes = printer->attributes;
  } else if (level == 5) {
    PRINTER_INFO_5W* info = (PRINTER_INFO_5W*)entry;
    info->pPrinterName = PackText(packer, name);
    info->pPortName = PackText(packer, port);
    info->Attributes = printer->attributes;
  } else if (level == 6) {
    ((PRINTER_INFO_6*)entry)->dwStatus = printer->status6;
  }
}

static void PackJob(Packer* packer, const SpoolPrinter* printer, const SpoolJob* job, int position,
                    JOB_INFO_1W* info) {
  ZeroMemory(info, sizeof *info);
  info->JobId = job->id;
  info->pPrinterName = PackText(packer, printer->hasName ? printer->name : NULL);
  info->pUserName = PackText(packer, job->user[0] ? job->user : NULL);
  info->pDocument = PackText(packer, job->hasDocument ? job->document : NULL);
  info->pDatatype = PackText(packer, job->datatype[0] ? job->datatype : NULL);
  info->Status = job->status;
  info->Priority = JOB_PRIORITY;
  info->Position = position + 1;
}

static DWORD ListPrinters(SpoolerState* state, DWORD flags, DWORD level, BYTE* buffer, DWORD size,
                          DWORD* needed, DWORD* returned) {
  if (!needed || !returned) return ERROR_INVALID_PARAMETER;
  DWORD entrySize = PrinterEntrySize(level);
  if (!entrySize) return ERROR_INVALID_LEVEL;
  const SpoolPrinter* listed[SPOOL_MAX_PRINTERS];
  DWORD count = 0;
  for (int i = 0; i < SPOOL_MAX_PRINTERS && (flags & LISTING_FLAGS); i++)
    if (state->printers[i].used) listed[count++] = &state->printers[i];
  EntryScratch scratch;
  Packer measure = {NULL, count * entrySize};
  for (DWORD i = 0; i < count; i++) PackPrinter(&measure, listed[i], level, (BYTE*)&scratch);
  *needed = measure.offset;
  *returned = 0;
  DWORD error = CheckRoom(*needed, buffer, size);
  if (error) return error;
  Packer packer = {buffer, count * entrySize};
  for (DWORD i = 0; i < count; i++) PackPrinter(&packer, listed[i], level, buffer + i * entrySize);
  *returned = count;
  return 0;
}

static SpoolHandle* HandleSlot(HANDLE handle) {
  for (int i = 0; i < SPOOL_MAX_HANDLES; i++)
    if (handle == (HANDLE)&handles[i] && handles[i].used) return &handles[i];
  return NULL;
}

// The printer behind an open handle; a printer removed by a script since the
// handle was opened makes the handle useless.
static SpoolPrinter* HandlePrinter(SpoolerState* state, SpoolHandle* slot) {
  return slot ? SpoolerPrinterNamed(state, slot->printer) : NULL;
}

static SpoolJob* QueuedJob(SpoolPrinter* printer, DWORD id) {
  int length = printer && id ? SpoolerQueueLength(printer) : 0;
  for (int i = 0; i < length; i++)
    if (printer->jobs[i].id == id) return &printer->jobs[i];
  return NULL;
}

static DWORD OpenHandle(SpoolerState* state, const WCHAR* name, HANDLE* opened) {
  if (!opened) return ERROR_INVALID_PARAMETER;
  SpoolPrinter* printer = SpoolerPrinterNamed(state, name);
  if (!printer) return ERROR_INVALID_PRINTER_NAME;
  for (int i = 0; i < SPOOL_MAX_HANDLES; i++) {
    if (handles[i].used) continue;
    ZeroMemory(&handles[i], sizeof handles[i]);
    handles[i].used = TRUE;
    lstrcpynW(handles[i].printer, printer->name, SPOOL_TEXT_UNITS);
    *opened = (HANDLE)&handles[i];
    return 0;
  }
  return ERROR_NOT_ENOUGH_MEMORY;
}

static DWORD DescribePrinter(SpoolerState* state, HANDLE handle, DWORD level, BYTE* buffer,
                             DWORD size, DWORD* needed) {
  SpoolPrinter* printer = HandlePrinter(state, HandleSlot(handle));
  if (!printer) return ERROR_INVALID_HANDLE;
  if (!needed) return ERROR_INVALID_PARAMETER;
  DWORD entrySize = PrinterEntrySize(level);
  if (!entrySize) return ERROR_INVALID_LEVEL;
  EntryScratch scratch;
  Packer measure = {NULL, entrySize};
  PackPrinter(&measure, printer, level, (BYTE*)&scratch);
  *needed = measure.offset;
  DWORD error = CheckRoom(*needed, buffer, size);
  if (error) return error;
  Packer packer = {buffer, entrySize};
  PackPrinter(&packer, printer, level, buffer);
  return 0;
}

static DWORD ListJobs(SpoolerState* state, HANDLE handle, DWORD first, DWORD wanted, DWORD level,
                      BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
  SpoolPrinter* printer = HandlePrinter(state, HandleSlot(handle));
  if (!printer) return ERROR_INVALID_HANDLE;
  if (!needed || !returned) return ERROR_INVALID_PARAMETER;
  if (level != 1) return ERROR_INVALID_LEVEL;
  DWORD length = SpoolerQueueLength(printer);
  DWORD begin = first < length ? first : length;
  DWORD count = wanted < length - begin ? wanted : length - begin;
  JOB_INFO_1W scratch;
  JOB_INFO_1W* entries = (JOB_INFO_1W*)buffer;
  Packer measure = {NULL, count * (DWORD)sizeof scratch};
  for (DWORD i = 0; i < count; i++) PackJob(&measure, printer, &printer->jobs[begin + i], begin + i, &scratch);
  *needed = measure.offset;
  *returned = 0;
  DWORD error = CheckRoom(*needed, buffer, size);
  if (error) return error;
  Packer packer = {buffer, count * (DWORD)sizeof scratch};
  for (DWORD i = 0; i < count; i++) PackJob(&packer, printer, &printer->jobs[begin + i], begin + i, &entries[i]);
  *returned = count;
  return 0;
}

static void CurrentUser(WCHAR* user) {
  DWORD units = SPOOL_TEXT_UNITS;
  if (!GetUserNameW(user, &units) || !user[0]) lstrcpyW(user, UNKNOWN_USER);
}

static DWORD StartJob(SpoolerState* state, HANDLE handle, DWORD level, const BYTE* info, DWORD* id) {
  SpoolHandle* slot = HandleSlot(handle);
  SpoolPrinter* printer = HandlePrinter(state, slot);
  if (!printer) return ERROR_INVALID_HANDLE;
  if (level != 1) return ERROR_INVALID_LEVEL;
  if (!info) return ERROR_INVALID_PARAMETER;
  if (slot->job) return ERROR_INVALID_PRINTER_STATE;
  int length = SpoolerQueueLength(printer);
  if (length >= SPOOL_MAX_JOBS) return ERROR_NOT_ENOUGH_MEMORY;
  const DOC_INFO_1W* document = (const DOC_INFO_1W*)info;
  SpoolJob* job = &printer->jobs[length];
  ZeroMemory(job, sizeof *job);
  job->id = state->nextJobId++;
  job->hasDocument = document->pDocName != NULL;
  if (document->pDocName) lstrcpynW(job->document, document->pDocName, SPOOL_TEXT_UNITS);
  CurrentUser(job->user);
  lstrcpynW(job->datatype, document->pDatatype ? document->pDatatype : RAW_DATATYPE,
            ARRAYSIZE(job->datatype));
  job->status = JOB_STATUS_SPOOLING;
  slot->job = *id = job->id;
  return 0;
}

static DWORD WriteJob(SpoolerState* state, HANDLE handle, const void* data, DWORD size,
                      DWORD* written, DWORD* jobId) {
  SpoolHandle* slot = HandleSlot(handle);
  SpoolPrinter* printer = HandlePrinter(state, slot);
  if (!printer) return ERROR_INVALID_HANDLE;
  if (!written || (!data && size)) return ERROR_INVALID_PARAMETER;
  *jobId = slot->job;
  if (!slot->job) return ERROR_SPL_NO_STARTDOC;
  SpoolJob* job = QueuedJob(printer, slot->job);
  if (!job) return ERROR_PRINT_CANCELLED;
  DWORD room = job->bytes < SPOOL_JOB_DATA ? SPOOL_JOB_DATA - job->bytes : 0;
  CopyMemory(job->data + job->bytes, data, size < room ? size : room);
  job->bytes += size;
  *written = size;
  return 0;
}

// Ends the handle's document; a job that a script removed meanwhile is gone already.
static void CompleteJob(SpoolPrinter* printer, SpoolHandle* slot) {
  SpoolJob* job = QueuedJob(printer, slot->job);
  if (job) {
    job->status &= ~JOB_STATUS_SPOOLING;
    job->complete = TRUE;
  }
  slot->job = 0;
}

static DWORD EndJob(SpoolerState* state, HANDLE handle, DWORD* jobId) {
  SpoolHandle* slot = HandleSlot(handle);
  SpoolPrinter* printer = HandlePrinter(state, slot);
  if (!printer) return ERROR_INVALID_HANDLE;
  *jobId = slot->job;
  if (!slot->job) return ERROR_SPL_NO_STARTDOC;
  CompleteJob(printer, slot);
  return 0;
}

static DWORD CloseHandleSlot(SpoolerState* state, HANDLE handle) {
  SpoolHandle* slot = HandleSlot(handle);
  if (!slot) return ERROR_INVALID_HANDLE;
  SpoolPrinter* printer = HandlePrinter(state, slot);
  if (printer && slot->job) CompleteJob(printer, slot);
  slot->used = FALSE;
  return 0;
}

// The error a scripted failure gives this call, or 0 when it goes through.
static DWORD InjectedFailure(SpoolerState* state, SpoolFunction function) {
  SpoolFailure* failure = &state->failures[function];
  if (!failure->remaining) return 0;
  if (failure->skip > 0) {
    failure->skip--;
    return 0;
  }
  if (failure->remaining > 0) failure->remaining--;
  return failure->error ? failure->error : ERROR_GEN_FAILURE;
}

static SpoolCall NewCall(SpoolFunction function, const WCHAR* printer) {
  SpoolCall call;
  ZeroMemory(&call, sizeof call);
  call.function = function;
  lstrcpynW(call.printer, printer ? printer : L"", ARRAYSIZE(call.printer));
  return call;
}

static const WCHAR* HandleName(HANDLE handle) {
  SpoolHandle* slot = HandleSlot(handle);
  return slot ? slot->printer : NULL;
}

// Logs the call, lets go of the state and reports the outcome the Windows way.
static BOOL FinishCall(SpoolerState* state, SpoolCall* call, DWORD error) {
  call->result = !error;
  call->error = error;
  state->calls[state->callCount % SPOOL_LOG_SIZE] = *call;
  state->callCount++;
  SpoolerUnlock();
  if (error) SetLastError(error);
  return !error;
}

static BOOL SpoolerUnavailable(void) {
  SetLastError(RPC_S_SERVER_UNAVAILABLE);
  return FALSE;
}

BOOL WINAPI EnumPrintersW(DWORD Flags, LPWSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                          LPDWORD pcbNeeded, LPDWORD pcReturned) {
  SpoolerState* state = SpoolerLock();
  if (!state) return SpoolerUnavailable();
  SpoolCall call = NewCall(SPOOL_ENUM_PRINTERS, Name);
  DWORD error = InjectedFailure(state, SPOOL_ENUM_PRINTERS);
  if (!error) error = ListPrinters(state, Flags, Level, pPrinterEnum, cbBuf, pcbNeeded, pcReturned);
  DWORD needed = pcbNeeded && (!error || error == ERROR_INSUFFICIENT_BUFFER) ? *pcbNeeded : 0;
  DWORD arguments[4] = {Level, Flags, cbBuf, needed};
  CopyMemory(call.arguments, arguments, sizeof arguments);
  return FinishCall(state, &call, error);
}

BOOL WINAPI OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault) {
  SpoolerState* state = SpoolerLock();
  if (!state) return SpoolerUnavailable();
  SpoolCall call = NewCall(SPOOL_OPEN_PRINTER, pPrinterName);
  call.arguments[0] = pDefault != NULL;
  DWORD error = InjectedFailure(state, SPOOL_OPEN_PRINTER);
  if (!error) error = OpenHandle(state, pPrinterName, phPrinter);
  if (error && phPrinter) *phPrinter = NULL;
  return FinishCall(state, &call, error);
}

BOOL WINAPI GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded) {
  SpoolerState* state = SpoolerLock();
  if (!state) return SpoolerUnavailable();
  SpoolCall call = NewCall(SPOOL_GET_PRINTER, HandleName(hPrinter));
  DWORD error = InjectedFailure(state, SPOOL_GET_PRINTER);
  if (!error) error = DescribePrinter(state, hPrinter, Level, pPrinter, cbBuf, pcbNeeded);
  DWORD needed = pcbNeeded && (!error || error == ERROR_INSUFFICIENT_BUFFER) ? *pcbNeeded : 0;
  DWORD arguments[4] = {Level, cbBuf, needed, 0};
  CopyMemory(call.arguments, arguments, sizeof arguments);
  return FinishCall(state, &call, error);
}

BOOL WINAPI EnumJobsW(HANDLE hPrinter, DWORD FirstJob, DWORD NoJobs, DWORD Level, LPBYTE pJob,
                      DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
  SpoolerState* state = SpoolerLock();
  if (!state) return SpoolerUnavailable();
  SpoolCall call = NewCall(SPOOL_ENUM_JOBS, HandleName(hPrinter));
  DWORD arguments[4] = {Level, FirstJob, NoJobs, cbBuf};
  CopyMemory(call.arguments, arguments, sizeof arguments);
  DWORD error = InjectedFailure(state, SPOOL_ENUM_JOBS);
  if (!error) error = ListJobs(state, hPrinter, FirstJob, NoJobs, Level, pJob, cbBuf, pcbNeeded, pcReturned);
  return FinishCall(state, &call, error);
}

DWORD WINAPI StartDocPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo) {
  SpoolerState* state = SpoolerLock();
  if (!state) return SpoolerUnavailable();
  SpoolCall call = NewCall(SPOOL_START_DOC, HandleName(hPrinter));
  DWORD id = 0;
  DWORD error = InjectedFailure(state, SPOOL_START_DOC);
  if (!error) error = StartJob(state, hPrinter, Level, pDocInfo, &id);
  call.arguments[0] = Level;
  call.arguments[1] = id;
  return FinishCall(state, &call, error) ? id : 0;
}

BOOL WINAPI WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten) {
  SpoolerState* state = SpoolerLock();
  if (!state) return SpoolerUnavailable();
  SpoolCall call = NewCall(SPOOL_WRITE_PRINTER, HandleName(hPrinter));
  DWORD written = 0, id = 0;
  DWORD error = InjectedFailure(state, SPOOL_WRITE_PRINTER);
  if (!error) error = WriteJob(state, hPrinter, pBuf, cbBuf, pcWritten, &id);
  if (!error) written = *pcWritten;
  DWORD arguments[4] = {cbBuf, written, id, 0};
  CopyMemory(call.arguments, arguments, sizeof arguments);
  return FinishCall(state, &call, error);
}

BOOL WINAPI EndDocPrinter(HANDLE hPrinter) {
  SpoolerState* state = SpoolerLock();
  if (!state) return SpoolerUnavailable();
  SpoolCall call = NewCall(SPOOL_END_DOC, HandleName(hPrinter));
  DWORD id = 0;
  DWORD error = InjectedFailure(state, SPOOL_END_DOC);
  if (!error) error = EndJob(state, hPrinter, &id);
  call.arguments[0] = id;
  return FinishCall(state, &call, error);
}

BOOL WINAPI ClosePrinter(HANDLE hPrinter) {
  SpoolerState* state = SpoolerLock();
  if (!state) return SpoolerUnavailable();
  SpoolCall call = NewCall(SPOOL_CLOSE_PRINTER, HandleName(hPrinter));
  // Even a scripted failure lets go of the handle: a test that makes closing
  // fail for ever must not run this process out of handles.
  DWORD injected = InjectedFailure(state, SPOOL_CLOSE_PRINTER);
  DWORD error = CloseHandleSlot(state, hPrinter);
  return FinishCall(state, &call, injected ? injected : error);
}

int SpoolerOpenHandles(void) {
  SpoolerState* state = SpoolerLock();
  int open = 0;
  for (int i = 0; i < SPOOL_MAX_HANDLES; i++)
    if (handles[i].used) open++;
  if (state) SpoolerUnlock();
  return open;
}

void SpoolerForgetHandles(void) {
  SpoolerState* state = SpoolerLock();
  ZeroMemory(handles, sizeof handles);
  if (state) SpoolerUnlock();
}
